#include "platform/AtomicFile.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "platform/SystemInfo.h"
#include "settings/SettingsStore.h"
#include "tests/datafiles/TempFolder.h"

#include <cerrno>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const char kKey[] = "SOFTWARE\\Fernhill\\Tallix\\General";

class NoScreen : public SystemInfo {
public:
    int ScreenSize(int&, int&) override { return 0; }
    std::string DeviceName() override { return "desk"; }
};

TEST(RegistryTest, ValuesCrossTypesByteForByte)
{
    CMemoryRegistry registry;
    registry.WriteText(kKey, "Short", "5");
    registry.WriteText(kKey, "Three", "abc");
    registry.WriteText(kKey, "Long", "abcd");
    registry.WriteNumber(kKey, "Number", 0x00434241);
    registry.WriteNumber(kKey, "Zero", 0);
    struct NumberCase { const char* name; int found; int32_t value; } numbers[] = {
        {"Short", 1, 0x35}, {"Three", 1, 0x636261}, {"Long", 0, -7}, {"Number", 1, 0x434241}, {"missing", 0, -7},
    };
    for (const NumberCase& c : numbers) {
        int32_t value = -7;
        EXPECT_EQ(c.found, registry.ReadNumber(kKey, c.name, value)) << c.name;
        EXPECT_EQ(c.value, value) << c.name;
    }
    struct TextCase { const char* name; size_t capacity; int found; const char* value; } texts[] = {
        {"Number", 20, 1, "ABC"}, {"Zero", 20, 1, ""}, {"Long", 5, 1, "abcd"}, {"Long", 4, 0, "kept"},
        {"short", 2, 1, "5"}, {"Number", 3, 0, "kept"},
    };
    for (const TextCase& c : texts) {
        std::string out = "kept";
        EXPECT_EQ(c.found, registry.ReadText(kKey, c.name, out, c.capacity)) << c.name << " " << c.capacity;
        EXPECT_EQ(c.value, out) << c.name;
    }
}

TEST(RegistryTest, FileFormatKeepsTextsAndNumbersApart)
{
    CRegistryValues values;
    CMemoryRegistry source;
    source.WriteText(kKey, "Text", "12");
    source.WriteNumber(kKey, "Number", -12);
    source.WriteText(kKey, "Odd", "a\"b\\c\r\n\t\x01\xE9\x80 end ");
    source.WriteText("Other\\Key", "Empty", "");
    std::string text = CFileRegistry::Format(source.Values());
    CFileRegistry::Parse(text, values);
    ASSERT_EQ(2u, values.Keys().size());
    const CRegistryValues::Value* v = values.Find(kKey, "text");
    ASSERT_NE(nullptr, v);
    EXPECT_TRUE(v->isText);
    EXPECT_EQ("12", v->text);
    v = values.Find(kKey, "Number");
    ASSERT_NE(nullptr, v);
    EXPECT_FALSE(v->isText);
    EXPECT_EQ(-12, v->number);
    v = values.Find(kKey, "Odd");
    ASSERT_NE(nullptr, v);
    EXPECT_EQ("a\"b\\c\r\n\t\x01\xE9\x80 end ", v->text);
    v = values.Find("other\\key", "Empty");
    ASSERT_NE(nullptr, v);
    EXPECT_EQ("", v->text);
    // The file is UTF-8: the 1252 e-acute and euro sign are written as such.
    EXPECT_NE(std::string::npos, text.find("\xC3\xA9\xE2\x82\xAC"));
}

// A key seen again later, or a value named again in other letter case, joins
// the first at its place; the last value read wins. The file comes back in
// the order it was read, byte for byte.
TEST(RegistryTest, RepeatedNamesKeepTheFirstPlaceAndTheLastValue)
{
    const char* text = "[A]\nOne=1\nTwo=2\n[B]\nX=\"x\"\n[a]\nthree=3\nONE=\"one\"\n";
    CRegistryValues values;
    CFileRegistry::Parse(text, values);
    EXPECT_EQ(CFileRegistry::Format(values).substr(CFileRegistry::Format(values).find('[')),
              "[A]\nOne=\"one\"\nTwo=2\nthree=3\n\n[B]\nX=\"x\"\n");
    values.Clear();
    EXPECT_EQ(values.Find("A", "One"), nullptr);
    values.Ensure("A", "One").number = 5;
    ASSERT_NE(values.Find("a", "one"), nullptr);
    EXPECT_EQ(values.Find("a", "one")->number, 5);
}

// Reading costs in proportion to the file: 200,000 values once took minutes
// (the test's time-out in CMake catches that), now well under a second.
TEST(RegistryTest, AFileOfManyValuesReadsBackWhole)
{
    CMemoryRegistry source;
    const int count = 200000;
    for (int i = 0; i < count; ++i) {
        const std::string name = "Value" + std::to_string(i);
        source.WriteNumber(i % 2 ? kKey : "Other", name.c_str(), i);
    }
    const std::string text = CFileRegistry::Format(source.Values());
    CRegistryValues values;
    CFileRegistry::Parse(text, values);
    EXPECT_EQ(CFileRegistry::Format(values), text);
    int found = 0;
    for (int i = 0; i < count; ++i) {
        const std::string name = "VALUE" + std::to_string(i);
        const CRegistryValues::Value* v = values.Find(i % 2 ? "software\\fernhill\\tallix\\general" : "OTHER", name.c_str());
        found += v && v->number == i;
    }
    EXPECT_EQ(found, count);
}

TEST(RegistryTest, GarbledLinesCostOnlyThemselves)
{
    const char* text =
        "Orphan=1\n[A]\nGood=1\nBad=12x\nHuge=99999999999\nOpen=\"abc\nEsc=\"\\q\"\nHex=\"\\x4\"\n=5\nnoequals\n"
        "Quote=\"ok\"\n[]\nStill=2\n\xFF\xFE=3\n[B\nNext=3\n";
    CRegistryValues values;
    CFileRegistry::Parse(text, values);
    struct Case { const char* name; bool present; } cases[] = {
        {"Good", true}, {"Bad", false}, {"Huge", false}, {"Open", false}, {"Esc", false}, {"Hex", false},
        {"Quote", true}, {"Still", true}, {"Next", true}, {"Orphan", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.present, values.Find("SOFTWARE\\Fernhill\\Tallix\\A", c.name) != nullptr) << c.name;
}

TEST(RegistryTest, MissingEmptyOrGarbledFileGivesDefaults)
{
    TempFolder folder;
    std::string garbage;
    for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 7919) % 256);
    struct Case { const char* name; bool create; std::string content; } cases[] = {
        {"missing.conf", false, ""}, {"empty.conf", true, ""}, {"garbled.conf", true, garbage},
        {"wrongtypes.conf", true, "[SOFTWARE\\Fernhill\\Tallix\\General]\nIniFile=7\nClearType=\"0\"\n"},
    };
    for (const Case& c : cases) {
        std::string path = c.create ? folder.Write(c.name, c.content) : folder.File(c.name);
        CFileRegistry registry(path);
        NoScreen system;
        CSettingsStore store;
        ASSERT_EQ(1, store.LoadSettings(registry, system, nullptr, nullptr)) << c.name;
        EXPECT_EQ(9, store.NumberOfWindows()) << c.name;
        EXPECT_EQ(15, store.Percentage()) << c.name;
        EXPECT_EQ(10, store.CalcBase()) << c.name;
    }
    // Values of the wrong type are taken as raw bytes: the number 7 reads as the text "\a".
    CFileRegistry registry(folder.File("wrongtypes.conf"));
    NoScreen system;
    CSettingsStore store;
    store.LoadSettings(registry, system, nullptr, nullptr);
    EXPECT_EQ("\x07", store.IniFile());
    EXPECT_EQ(0x30, store.ClearType());
}

TEST(RegistryTest, SettingsSurviveARoundTripThroughTheFile)
{
    TempFolder folder;
    std::string path = folder.File("sub/dir/Tallix.conf");
    CSettingsStore store;
    {
        CMemoryRegistry empty;
        NoScreen system;
        store.LoadSettings(empty, system, nullptr, nullptr);
    }
    store.SetIniFile("my skin \xE9.ini");
    store.SetRegionalSettings(1);
    store.SetRegionalCurrency(0);
    store.SetClearType(0);
    store.SetPlaySounds(0);
    store.SetScrolling(2);
    store.SetVGA(1);
    store.SetSelectedWindow(3);
    store.SetNumberOfWindows(4);
    for (int i = 0; i < 9; ++i) store.SetMenuItem(i, 15 - i);
    store.SetWindowRect(SettingsRect{-1, 77, 400, 500});
    store.SetDownloadDate(SettingsDate{24, 12, 2026});
    store.SetAutoDownload(0);
    store.SetCurrencyFrom(80);
    store.SetCurrencyTo(17);
    store.SetCurrencyFromSelect(0);
    store.SetUseProxy(1);
    store.SetUseConMgr(0);
    store.SetUseWireless(0);
    store.SetConvertorSection(11);
    store.SetConvertorFrom(5);
    store.SetConvertorTo(6);
    store.SetConvertorFromSelect(0);
    store.SetPercentage(20);
    store.SetNumPeople(9);
    {
        CFileRegistry registry(path);
        ASSERT_EQ(1, store.SaveSettings(registry, nullptr, nullptr));
    }
    CFileRegistry registry(path);
    NoScreen system;
    CSettingsStore loaded;
    loaded.LoadSettings(registry, system, nullptr, nullptr);
    struct Case { const char* what; int actual; int expected; } cases[] = {
        {"RegionalSettings", loaded.RegionalSettings(), 1}, {"RegionalCurrency", loaded.RegionalCurrency(), 0},
        {"ClearType", loaded.ClearType(), 0}, {"PlaySounds", loaded.PlaySounds(), 0}, {"Scrolling", loaded.Scrolling(), 2},
        {"VGA", loaded.VGA(), 1}, {"SelectedWindow", loaded.SelectedWindow(), 3},
        {"NumberOfWindows", loaded.NumberOfWindows(), 4}, {"left", loaded.WindowRect().left, -1},
        {"top", loaded.WindowRect().top, 77}, {"day", loaded.DownloadDate().day, 24},
        {"month", loaded.DownloadDate().month, 12}, {"year", loaded.DownloadDate().year, 2026},
        {"AutoDownload", loaded.AutoDownload(), 0}, {"CurrencyFrom", loaded.CurrencyFrom(), 80},
        {"CurrencyTo", loaded.CurrencyTo(), 17}, {"CurrencyFromSelect", loaded.CurrencyFromSelect(), 0},
        {"UseProxy", loaded.UseProxy(), 1}, {"UseConMgr", loaded.UseConMgr(), 0},
        {"UseWireless", loaded.UseWireless(), 0}, {"Section", loaded.ConvertorSection(), 11},
        {"ConvertorFrom", loaded.ConvertorFrom(), 5}, {"ConvertorTo", loaded.ConvertorTo(), 6},
        {"ConvertorFromSelect", loaded.ConvertorFromSelect(), 0}, {"Percentage", loaded.Percentage(), 20},
        {"NumPeople", loaded.NumPeople(), 9}, {"CalcBase", loaded.CalcBase(), 10}, {"CalcMode", loaded.CalcMode(), 1},
        {"StackSize", loaded.StackSize(), 4}, {"RepeatedEquals", loaded.RepeatedEquals(), 1},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, c.actual) << c.what;
    EXPECT_EQ("my skin \xE9.ini", loaded.IniFile());
    for (int i = 0; i < 4; ++i) EXPECT_EQ(15 - i, loaded.MenuItem(i));
    // Entries past NumberOfWindows are saved but not read back.
    for (int i = 4; i < 9; ++i) EXPECT_EQ(i + 1, loaded.MenuItem(i));
    for (int i = 0; i < 5; ++i) EXPECT_EQ("0", loaded.MemoryText(i));
}

TEST(RegistryTest, WritesOutsideABatchReachTheFileAtOnce)
{
    TempFolder folder;
    std::string path = folder.File("Tallix.conf");
    CFileRegistry writer(path);
    ASSERT_EQ(1, writer.WriteNumber("SOFTWARE\\Fernhill\\Tallix", "Locale", 7));
    CFileRegistry reader(path);
    int32_t value = 0;
    ASSERT_EQ(1, reader.ReadNumber("software\\fernhill\\tallix", "LOCALE", value));
    EXPECT_EQ(7, value);
    writer.BeginWrites();
    writer.WriteNumber("SOFTWARE\\Fernhill\\Tallix", "Locale", 12);
    EXPECT_EQ(1, CFileRegistry(path).ReadNumber("SOFTWARE\\Fernhill\\Tallix", "Locale", value));
    EXPECT_EQ(7, value);
    EXPECT_EQ(1, writer.EndWrites());
    EXPECT_EQ(1, CFileRegistry(path).ReadNumber("SOFTWARE\\Fernhill\\Tallix", "Locale", value));
    EXPECT_EQ(12, value);
}

// The window saves every second: a save that changes nothing, in this run or
// against what the last run left, leaves the file alone.
TEST(RegistryTest, OnlyAChangeIsWritten)
{
    TempFolder folder;
    const std::string path = folder.File("Tallix.conf");
    auto inode = [&] {
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
    };
    CFileRegistry first(path);
    ASSERT_EQ(1, first.WriteNumber("SOFTWARE\\Fernhill\\Tallix", "Locale", 7));
    const auto written = inode();
    ASSERT_NE(0u, written);
    EXPECT_EQ(1, first.WriteNumber("SOFTWARE\\Fernhill\\Tallix", "Locale", 7));
    EXPECT_EQ(written, inode());
    CFileRegistry next(path);
    next.BeginWrites();
    EXPECT_EQ(1, next.WriteNumber("SOFTWARE\\Fernhill\\Tallix", "Locale", 7));
    EXPECT_EQ(1, next.EndWrites());
    EXPECT_EQ(written, inode());
    EXPECT_EQ(1, next.WriteNumber("SOFTWARE\\Fernhill\\Tallix", "Locale", 8));
    EXPECT_NE(written, inode());
}

TEST(RegistryTest, NamesTheFileCannotHoldAreRefused)
{
    TempFolder folder;
    CFileRegistry registry(folder.File("Tallix.conf"));
    struct Case { const char* key; const char* name; int ok; } cases[] = {
        {kKey, "Plain", 1}, {kKey, "a=b", 0}, {kKey, "#c", 0}, {kKey, "[d", 0}, {kKey, "e\nf", 0},
        {"K\r", "x", 0}, {"", "x", 0}, {kKey, "", 0}, {"odd]key", "x", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.ok, registry.WriteNumber(c.key, c.name, 1)) << c.name;
        EXPECT_EQ(c.ok, registry.WriteText(c.key, c.name, "t")) << c.name;
    }
    CFileRegistry reread(folder.File("Tallix.conf"));
    std::string text;
    EXPECT_EQ(1, reread.ReadText("odd]key", "x", text, 10));
    EXPECT_EQ("t", text);
}

class CountingBoxes : public IMessageBox {
public:
    CountingBoxes() { SetMessageBoxService(this); }
    ~CountingBoxes() override { SetMessageBoxService(nullptr); }
    MessageAnswer Show(const std::string& text, const std::string&, MessageKind, MessageButtons) override
    {
        shown.push_back(text);
        return MessageAnswer::Ok;
    }
    std::vector<std::string> shown;
};

// Something that cannot be read where the settings file belongs: the defaults,
// one message naming it, and nothing written over it.
TEST(RegistryTest, AnUnreadableSettingsPathGivesDefaultsAndOneMessage)
{
    TempFolder folder;
    const struct { const char* what; std::string path; size_t messages; } rows[] = {
        {"a folder", folder.File("Tallix.conf"), 1},
        {"missing", folder.File("none.conf"), 0},
        // Neither waits for a writer nor reads without end.
        {"a FIFO", folder.File("fifo.conf"), 1},
        {"a device", "/dev/zero", 1},
    };
    ::mkdir(rows[0].path.c_str(), 0700);
    ASSERT_EQ(::mkfifo(rows[2].path.c_str(), 0600), 0);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        CountingBoxes boxes;
        CFileRegistry registry(row.path);
        NoScreen system;
        CSettingsStore store;
        ASSERT_EQ(1, store.LoadSettings(registry, system, nullptr, nullptr));
        EXPECT_EQ(15, store.Percentage());
        int32_t value = 0;
        EXPECT_EQ(0, registry.ReadNumber(kKey, "Other", value));
        EXPECT_EQ(boxes.shown.size(), row.messages);
        if (!boxes.shown.empty()) {
            EXPECT_NE(boxes.shown[0].find(row.path), std::string::npos);
        }
        EXPECT_EQ(registry.WriteNumber(kKey, "A", 1), row.messages ? 0 : 1);
    }
    struct stat info {};
    EXPECT_TRUE(::stat(rows[0].path.c_str(), &info) == 0 && S_ISDIR(info.st_mode));
}

TEST(RegistryTest, UnwritableFileReportsFailure)
{
    TempFolder folder;
    std::string blocker = folder.Write("file", "x");
    CFileRegistry registry(blocker + "/Tallix.conf");
    EXPECT_EQ(0, registry.WriteNumber(kKey, "A", 1));
    CSettingsStore store;
    EXPECT_EQ(0, store.SaveSettings(registry, nullptr, nullptr));
}

TEST(RegistryTest, DefaultPathFollowsXdgConfigHome)
{
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    std::string keep = saved ? saved : "";
    setenv("XDG_CONFIG_HOME", "/somewhere/config", 1);
    EXPECT_EQ("/somewhere/config/tallix/tallix.conf", CFileRegistry::DefaultPath());
    EXPECT_EQ("/somewhere/config/Fernhill/Tallix.conf", CFileRegistry::LegacyPath());
    setenv("XDG_CONFIG_HOME", "relative", 1);
    std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    if (!home.empty()) {
        EXPECT_EQ(home + "/.config/tallix/tallix.conf", CFileRegistry::DefaultPath());
    }
    saved ? setenv("XDG_CONFIG_HOME", keep.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
}

// The program's keys are plain sections; every section reads back as its key.
TEST(RegistryTest, SectionsNameTheKeyBelowTheProgramsOwn)
{
    const struct {
        const char* key;
        const char* section;
    } rows[] = {
        {"SOFTWARE\\Fernhill\\Tallix\\General", "[General]"},
        {"software\\fernhill\\tallix\\Memory", "[Memory]"},
        {"SOFTWARE\\Fernhill\\Tallix", "[Tallix]"},
        {"SOFTWARE\\Fernhill\\Tallix\\Tallix", "[SOFTWARE\\Fernhill\\Tallix\\Tallix]"},
        {"SOFTWARE\\Fernhill\\Tallix\\A\\B", "[SOFTWARE\\Fernhill\\Tallix\\A\\B]"},
        {"Other\\Key", "[Other\\Key]"},
        {"Plain", "[\\Plain]"},
        {"\\Lead", "[\\\\Lead]"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.key);
        CMemoryRegistry source;
        source.WriteNumber(row.key, "N", 3);
        const std::string text = CFileRegistry::Format(source.Values());
        EXPECT_NE(text.find(std::string("\n") + row.section + "\nN=3\n"), std::string::npos) << text;
        CRegistryValues back;
        CFileRegistry::Parse(text, back);
        int32_t value = 0;
        EXPECT_EQ(1, back.ReadNumber(row.key, "N", value));
    }
}

// Two processes with the file open: each store keeps what the other stored
// meanwhile, and writing back a value as it was read is no change.
TEST(RegistryTest, AStoreKeepsWhatAnotherProcessStored)
{
    TempFolder folder;
    const std::string path = folder.File("tallix.conf");
    const char kCurrency[] = "SOFTWARE\\Fernhill\\Tallix\\Currency";
    CFileRegistry window(path), terminal(path);
    window.BeginWrites(); // the window's first save
    window.WriteNumber(kKey, "WindowPositionLeft", 10);
    window.WriteNumber(kCurrency, "Download_Day", 1);
    ASSERT_EQ(1, window.EndWrites());
    int32_t value = 0;
    ASSERT_EQ(1, terminal.ReadNumber(kKey, "WindowPositionLeft", value)); // read before the window's next store
    ASSERT_EQ(1, window.WriteNumber(kKey, "WindowPositionLeft", 20));
    ASSERT_EQ(1, window.WriteText("SOFTWARE\\Fernhill\\Tallix\\Memory", "Memory1", "42"));
    terminal.BeginWrites();
    terminal.WriteNumber(kKey, "WindowPositionLeft", 10); // as it read it: not its change
    terminal.WriteNumber(kCurrency, "Download_Day", 8);
    ASSERT_EQ(1, terminal.EndWrites());
    window.WriteNumber(kCurrency, "Download_Day", 1); // the window's old value again
    CFileRegistry after(path);
    std::string memory;
    EXPECT_EQ(1, after.ReadNumber(kKey, "WindowPositionLeft", value));
    EXPECT_EQ(20, value);
    EXPECT_EQ(1, after.ReadNumber(kCurrency, "Download_Day", value));
    EXPECT_EQ(8, value);
    EXPECT_EQ(1, after.ReadText("SOFTWARE\\Fernhill\\Tallix\\Memory", "Memory1", memory, 32));
    EXPECT_EQ("42", memory);
}

// A store that failed (a full disk) keeps its changes for the next one.
TEST(RegistryTest, ChangesOfAFailedStoreWaitForTheNext)
{
    TempFolder folder;
    CountingBoxes boxes;
    const std::string path = folder.File("tallix.conf");
    CFileRegistry registry(path);
    SetAtomicWriteProbe([](AtomicWriteStep step) { return step == AtomicWriteStep::Write ? ENOSPC : 0; });
    EXPECT_EQ(0, registry.WriteNumber(kKey, "A", 1));
    EXPECT_EQ(0, registry.WriteNumber(kKey, "B", 2));
    SetAtomicWriteProbe(nullptr);
    EXPECT_EQ(1u, boxes.shown.size());
    EXPECT_EQ(1, registry.WriteNumber(kKey, "C", 3));
    CFileRegistry after(path);
    int32_t value = 0;
    for (const char* name : {"A", "B", "C"}) EXPECT_EQ(1, after.ReadNumber(kKey, name, value)) << name;
}

// The file of older versions is read while the new one does not exist, its
// values stored in the new file at once, and left in place.
TEST(RegistryTest, TheOlderFileIsTakenOverOnceAndLeftInPlace)
{
    TempFolder folder;
    const std::string old = folder.Write("Tallix.conf", "[SOFTWARE\\Fernhill\\Tallix\\General]\nIniFile=\"dark.ini\"\n");
    const std::string path = folder.File("new/tallix.conf");
    std::string skin;
    EXPECT_EQ(1, CFileRegistry(path, old).ReadText(kKey, "IniFile", skin, 20));
    EXPECT_EQ("dark.ini", skin);
    EXPECT_EQ(TempFolder::Read(path).find("[General]\nIniFile=\"dark.ini\"\n") != std::string::npos, true);
    EXPECT_EQ("[SOFTWARE\\Fernhill\\Tallix\\General]\nIniFile=\"dark.ini\"\n", TempFolder::Read(old));
    // From now on the new file holds the settings; the old one is not read again.
    folder.Write("Tallix.conf", "[General]\nIniFile=\"other.ini\"\nScrolling=2\n");
    CFileRegistry next(path, old);
    int32_t scrolling = 0;
    EXPECT_EQ(0, next.ReadNumber(kKey, "Scrolling", scrolling));
}

// A process killed in the middle of saving leaves the old file or the new
// one, never a part of either.
TEST(RegistryTest, KillDuringSaveNeverTruncates)
{
    TempFolder folder;
    std::string path = folder.File("Tallix.conf");
    CSettingsStore store;
    CMemoryRegistry empty;
    NoScreen system;
    store.LoadSettings(empty, system, nullptr, nullptr);
    {
        CFileRegistry first(path);
        ASSERT_EQ(1, store.SaveSettings(first, nullptr, nullptr));
    }
    std::string complete = TempFolder::Read(path);
    for (int round = 0; round < 20; ++round) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i) {
                CFileRegistry registry(path);
                store.SetPercentage(i % 2 ? 10 : 20);
                store.SaveSettings(registry, nullptr, nullptr);
            }
        }
        usleep(2000 + round * 1500);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        std::string now = TempFolder::Read(path);
        ASSERT_EQ(complete.size(), now.size()) << "round " << round;
        CFileRegistry registry(path);
        CSettingsStore loaded;
        loaded.LoadSettings(registry, system, nullptr, nullptr);
        EXPECT_TRUE(loaded.Percentage() == 15 || loaded.Percentage() == 10 || loaded.Percentage() == 20);
        EXPECT_EQ("0", loaded.MemoryText(4)) << "the last values must be there";
    }
}

} // namespace
