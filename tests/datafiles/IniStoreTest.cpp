#include "datafiles/IniStore.h"
#include "platform/Registry.h"
#include "tests/datafiles/TempFolder.h"

#include <clocale>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct LookupCase {
    const char* file;
    const char* section;
    const char* key;
    int found;
    const char* value;
};

class IniStoreTest : public ::testing::Test {
protected:
    int LoadText(const std::string& text)
    {
        return store.Load(folder.Write("test.ini", text).c_str());
    }
    TempFolder folder;
    CIniStore store;
};

TEST_F(IniStoreTest, StringLookupsFollowTheReadingRules)
{
    const LookupCase cases[] = {
        {"[Init]\r\nLast=5\r\n", "init", "LAST", 1, "5"},
        {"[Init]\nkey = a = b \n", "Init", "key", 1, "a = b"},
        {"  [ Spaced ]  \nk=v\n", " Spaced ", "k", 1, "v"},
        {"[Spaced]\n  \tk \t=\t v  \r\n", "Spaced", "k", 1, "v"},
        {"[S]\n=v\n", "S", "", 0, "dflt"},
        {"[S]\nno equals here\nk=\n", "S", "k", 1, ""},
        {"[S]\n;comment=1\n", "S", ";comment", 1, "1"},
        {"[S]\n;comment\n", "S", ";comment", 0, "dflt"},
        {"[Head=er]\nk=v\n", "Head=er", "k", 1, "v"},
        {"k=v\n[S]\n", "S", "k", 0, "dflt"},
        {"[A]\nk=first\n[a]\nk=second\nj=2\n", "A", "k", 1, "first"},
        {"[A]\nk=first\n[a]\nj=2\n", "a", "j", 0, "dflt"},
        {"[A]\nk=first\nK=second\n", "A", "k", 1, "first"},
        {"[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n", "B", "y", 1, "2"},
        {"[A]\r\nx=1\r\n\r\n\r\n[B]\r\ny=2\r\n", "B", "y", 0, "dflt"},
        {"[A]\n\n\n\n[B]\ny=2\n", "B", "y", 1, "2"},
        {"[A]\r\n\r\nx=1\r\n\r\ny=2\r\n", "A", "y", 1, "2"},
        {"[]\nk=v\n", "", "k", 1, "v"},
    };
    for (const LookupCase& c : cases) {
        SCOPED_TRACE(c.file);
        ASSERT_EQ(1, LoadText(c.file));
        std::string out = "unchanged";
        EXPECT_EQ(c.found, store.GetString(out, c.section, c.key, "dflt"));
        EXPECT_EQ(c.value, out);
    }
}

TEST_F(IniStoreTest, ZeroByteEndsTheText)
{
    ASSERT_EQ(1, LoadText(std::string("[A]\nk=v\n\0[B]\nj=1\n", 17)));
    EXPECT_EQ(-1, store.FindSection("B"));
    EXPECT_EQ(0, store.FindKey(0, "k"));
}

TEST_F(IniStoreTest, TypedLookupsConvertLikeTheCLibrary)
{
    ASSERT_EQ(1, LoadText("[N]\nint=42abc\nneg=-7\ntext=abc\npair= 12 , 34 \none=5\ncommas=,,3,,4\n"
                          "color=300,20,10\nshort=1,2\nreal=2.5e3x\nhuge=99999999999\n"));
    struct IntCase { const char* key; int found; int value; } ints[] = {
        {"int", 1, 42}, {"neg", 1, -7}, {"text", 1, 0}, {"missing", 0, 17},
    };
    for (const IntCase& c : ints) {
        int out = -1;
        EXPECT_EQ(c.found, store.GetInt(out, "N", c.key, 17)) << c.key;
        EXPECT_EQ(c.value, out) << c.key;
    }
    struct PairCase { const char* key; int found; int x; int y; } pairs[] = {
        {"pair", 1, 12, 34}, {"one", 1, 5, -1}, {"commas", 1, 3, 4}, {"missing", 0, 8, 9},
    };
    for (const PairCase& c : pairs) {
        int x = 0, y = 0;
        EXPECT_EQ(c.found, store.GetIntPair(x, y, "n", c.key, 8, 9)) << c.key;
        EXPECT_EQ(c.x, x) << c.key;
        EXPECT_EQ(c.y, y) << c.key;
    }
    struct ColorCase { const char* key; int found; uint32_t value; } colors[] = {
        {"color", 1, 44u | (20u << 8) | (10u << 16)},
        {"short", 1, 1u | (2u << 8) | (0xFFu << 16)},
        {"missing", 0, 0x123456u},
    };
    for (const ColorCase& c : colors) {
        uint32_t out = 0;
        EXPECT_EQ(c.found, store.GetColor(out, "N", c.key, 0x123456u)) << c.key;
        EXPECT_EQ(c.value, out) << c.key;
    }
    double real = 0;
    EXPECT_EQ(1, store.GetDouble(real, "N", "real", 1.0));
    EXPECT_DOUBLE_EQ(2500.0, real);
    EXPECT_EQ(0, store.GetDouble(real, "N", "missing", 0.25));
    EXPECT_DOUBLE_EQ(0.25, real);
}

TEST_F(IniStoreTest, DoublesReadTheSameInACommaLocale)
{
    ASSERT_EQ(1, LoadText("[N]\nreal=1.6427\nsmall=4.1e-05\n"));
    const char* saved = std::setlocale(LC_NUMERIC, nullptr);
    std::string restore = saved ? saved : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 not installed";
    double real = 0, small = 0;
    store.GetDouble(real, "N", "real", 0);
    store.GetDouble(small, "N", "small", 0);
    std::setlocale(LC_NUMERIC, restore.c_str());
    EXPECT_DOUBLE_EQ(1.6427, real);
    EXPECT_DOUBLE_EQ(4.1e-05, small);
}

// Under a Turkish LC_CTYPE the C library's case folding has no "I" for "i";
// names of files and settings must match all the same.
TEST_F(IniStoreTest, NamesMatchByAsciiLettersUnderATurkishLocale)
{
    const char* saved = std::setlocale(LC_CTYPE, nullptr);
    std::string restore = saved ? saved : "C";
    if (!std::setlocale(LC_CTYPE, "tr_TR.UTF-8")) GTEST_SKIP() << "tr_TR.UTF-8 not installed";
    CRegistryValues settings;
    settings.Ensure("SOFTWARE\\Fernhill\\Tallix\\General", "IniFile").text = "dark.ini";
    const struct { const char* file; const char* section; const char* key; } rows[] = {
        {"[Init]\nLast=5\n", "init", "LAST"},
        {"[init]\nlast=5\n", "INIT", "Last"},
        {"[Main]\nBtnId=5\n", "MAIN", "btnid"},
    };
    std::vector<int> found;
    for (const auto& row : rows) {
        LoadText(row.file);
        int value = 0;
        found.push_back(store.GetInt(value, row.section, row.key, 0) && value == 5);
    }
    const bool settingFound = settings.Find("software\\fernhill\\tallix\\general", "INIFILE") != nullptr;
    std::setlocale(LC_CTYPE, restore.c_str());
    EXPECT_EQ(found, std::vector<int>(std::size(rows), 1));
    EXPECT_TRUE(settingFound);
}

TEST_F(IniStoreTest, NullArgumentsCountAsNotFound)
{
    ASSERT_EQ(1, LoadText("[S]\nk=v\n"));
    std::string out;
    EXPECT_EQ(0, store.GetString(out, nullptr, "k", "d"));
    EXPECT_EQ("d", out);
    EXPECT_EQ(0, store.GetString(out, "S", nullptr, nullptr));
    EXPECT_EQ("", out);
    EXPECT_EQ(0, store.SetValue("S", "k", nullptr));
    EXPECT_EQ(-1, store.FindSection(nullptr));
    EXPECT_EQ(-1, store.FindKey(5, "k"));
    EXPECT_EQ(-1, store.FindKey(-1, "k"));
    EXPECT_EQ(0, store.Save(nullptr));
    EXPECT_EQ(0, store.Load(nullptr));
}

TEST_F(IniStoreTest, FailedLoadKeepsTheContent)
{
    ASSERT_EQ(1, LoadText("[S]\nk=v\n"));
    EXPECT_EQ(0, store.Load(folder.File("missing.ini").c_str()));
    EXPECT_EQ(0, store.Load(folder.Path().c_str()));
    std::string out;
    EXPECT_EQ(1, store.GetString(out, "S", "k", ""));
    EXPECT_EQ("v", out);
}

TEST_F(IniStoreTest, CapacitiesDropTheExcess)
{
    std::string text;
    for (int s = 0; s < 130; ++s) {
        text += "[S" + std::to_string(s) + "]\n";
        int keys = (s == 0 || s >= 124) ? 90 : 1;
        for (int k = 0; k < keys; ++k) text += "k" + std::to_string(k) + "=" + std::to_string(k) + "\n";
    }
    ASSERT_LT(text.size(), 30000u);
    ASSERT_EQ(1, LoadText(text));
    EXPECT_EQ(124, store.FindSection("S124"));
    EXPECT_EQ(-1, store.FindSection("S125"));
    EXPECT_EQ(81, store.FindKey(0, "k81"));
    EXPECT_EQ(-1, store.FindKey(0, "k82"));
    // Pairs after the 126th header join the last section held, which is already full.
    EXPECT_EQ(-1, store.FindKey(124, "k85"));
}

TEST_F(IniStoreTest, PairsAfterTooManyHeadersJoinTheLastSection)
{
    std::string text;
    for (int s = 0; s < 125; ++s) text += "[S" + std::to_string(s) + "]\n";
    text += "[Extra]\nlate=1\n[Odd=header]\n";
    ASSERT_EQ(1, LoadText(text));
    EXPECT_EQ(0, store.FindKey(124, "late"));
    EXPECT_EQ(1, store.FindKey(124, "[Odd"));
}

TEST_F(IniStoreTest, OnlyTheFirst30000BytesAreRead)
{
    std::string text;
    std::string filler = "f=" + std::string(200, 'x') + "\r\n";
    for (int i = 0; text.size() + filler.size() + 10 < 29990; ++i)
        text += (i % 50 == 0 ? "[F" + std::to_string(i) + "]\r\n" : std::string()) + filler;
    text += "[S]\r\n";
    std::string last = "last=";
    last += std::string(30001 - text.size() - last.size(), '9');
    text += last;
    ASSERT_EQ(30001u, text.size());
    ASSERT_EQ(1, LoadText(text));
    std::string out;
    ASSERT_EQ(1, store.GetString(out, "S", "last", ""));
    EXPECT_EQ(std::string(last.size() - 5 - 1, '9'), out);
}

TEST_F(IniStoreTest, LongKeysAreDroppedAndLongValuesCut)
{
    std::string key39(39, 'k'), key40(40, 'q');
    std::string value300(300, 'v');
    ASSERT_EQ(1, LoadText("[" + std::string(300, 'n') + "]\n" + key39 + "=" + value300 + "\n" + key40 + "=1\n"));
    EXPECT_EQ(0, store.FindSection(std::string(255, 'n').c_str()));
    std::string out;
    EXPECT_EQ(1, store.GetString(out, std::string(255, 'n').c_str(), key39.c_str(), ""));
    EXPECT_EQ(std::string(255, 'v'), out);
    EXPECT_EQ(-1, store.FindKey(0, key40.c_str()));
    EXPECT_EQ(-1, store.FindKey(0, std::string(39, 'q').c_str()));
}

TEST_F(IniStoreTest, ACutValueDropsTheBlanksItEndsOn)
{
    std::string value = std::string(254, 'v') + "  tail";
    ASSERT_EQ(1, LoadText("[S]\nk=" + value + "\n"));
    std::string out;
    store.GetString(out, "S", "k", "");
    EXPECT_EQ(std::string(254, 'v'), out);
}

TEST_F(IniStoreTest, SetValueNeverCreates)
{
    ASSERT_EQ(1, LoadText("[Init]\nLast=5\n"));
    EXPECT_EQ(0, store.SetValue("Init", "Missing", "1"));
    EXPECT_EQ(0, store.SetValue("Other", "Last", "1"));
    EXPECT_EQ(0, store.SetValue("Init", "Last", "1\r\n[Evil]"));
    EXPECT_EQ(0, store.SetValue("Init", "Last", "1\n"));
    EXPECT_EQ(1, store.SetValue("INIT", "LAST", std::string(300, 'z').c_str()));
    std::string out;
    store.GetString(out, "Init", "Last", "");
    EXPECT_EQ(std::string(255, 'z'), out);
    std::string path = folder.File("out.ini");
    ASSERT_EQ(1, store.Save(path.c_str()));
    EXPECT_EQ("[Init]\r\nLAST=" + std::string(255, 'z') + "\r\n\r\n", TempFolder::Read(path));
}

// A pair whose key starts with "[" must not be saved as a line ending in "]":
// it would read back as a section header and take the pairs after it along.
TEST_F(IniStoreTest, NoPairIsSavedAsASectionHeader)
{
    // The 255-byte cut of the value ends on "]".
    ASSERT_EQ(1, LoadText("[S]\n[k=" + std::string(254, 'v') + "]tail\nafter=1\n"));
    std::string out;
    store.GetString(out, "S", "[k", "");
    EXPECT_EQ(std::string(254, 'v'), out);
    EXPECT_EQ(0, store.SetValue("S", "[k", "x]"));
    EXPECT_EQ(0, store.AddValue("S", "[new", "y]"));
    EXPECT_EQ(0, store.SetValue("S", "[k", "x] \t"));
    EXPECT_EQ(1, store.SetValue("S", "[k", "x]y"));
    const std::string path = folder.File("out.ini");
    ASSERT_EQ(1, store.Save(path.c_str()));
    CIniStore again;
    ASSERT_EQ(1, again.Load(path.c_str()));
    EXPECT_EQ(1, again.GetString(out, "S", "after", ""));
    EXPECT_EQ(1, again.GetString(out, "S", "[k", ""));
    EXPECT_EQ("x]y", out);
}

TEST_F(IniStoreTest, AddValueCreatesWithinTheCapacities)
{
    std::string text = "[Full]\n";
    for (int k = 0; k < 82; ++k) text += "k" + std::to_string(k) + "=1\n";
    for (int s = 1; s < 124; ++s) text += "[S" + std::to_string(s) + "]\n";
    text += "[Last]\nBtn1=Sin\n";
    struct Case {
        const char* section;
        const char* key;
        int added;
    } cases[] = {
        {"Last", "Btn1", 1},          // an existing key is overwritten
        {"last", "Btn2", 1},          // a missing key is appended
        {"Full", "k5", 1},
        {"Full", "k82", 0},           // the section holds 82 keys
        {"New", "Btn1", 0},           // the file holds 125 sections
        {"Last", "", 0},
        {"Last", "a=b", 0},
        {"Last", " padded", 0},
        {"Last", "k234567890123456789012345678901234567890", 0},  // 40 characters
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        ASSERT_EQ(1, LoadText(text));
        EXPECT_EQ(c.added, store.AddValue(c.section, c.key, "Cos"));
        std::string out;
        EXPECT_EQ(c.added, store.GetString(out, c.section, c.key, ""));
    }
    ASSERT_EQ(1, LoadText("[A]\nx=1\n"));
    ASSERT_EQ(1, store.AddValue("B", "y", "2"));
    ASSERT_EQ(1, store.AddValue("A", "z", "3"));
    const std::string path = folder.File("added.ini");
    ASSERT_EQ(1, store.Save(path.c_str()));
    EXPECT_EQ("[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\n\r\n", TempFolder::Read(path));
}

TEST_F(IniStoreTest, SaveWritesEverySectionAndReadsBackTheSame)
{
    std::string source = "[A]\r\n  x = 1 \r\nignored line\r\n[B]\r\n[C]\r\ny=a=b\r\nz=\r\n";
    ASSERT_EQ(1, LoadText(source));
    std::string path = folder.File("saved.ini");
    ASSERT_EQ(1, store.Save(path.c_str()));
    std::string expected = "[A]\r\nx=1\r\n\r\n[B]\r\n\r\n[C]\r\ny=a=b\r\nz=\r\n\r\n";
    EXPECT_EQ(expected, TempFolder::Read(path));
    CIniStore again;
    ASSERT_EQ(1, again.Load(path.c_str()));
    ASSERT_EQ(1, again.Save(path.c_str()));
    EXPECT_EQ(expected, TempFolder::Read(path));
}

TEST_F(IniStoreTest, SaveWritesLongTextsWhole)
{
    std::string text;
    for (int s = 0; s < 60; ++s) {
        text += "[Section" + std::to_string(s) + "]\n";
        for (int k = 0; k < 10; ++k) text += "Key" + std::to_string(k) + "=" + std::string(40, 'a' + k) + "\n";
    }
    ASSERT_EQ(1, LoadText(text));
    std::string path = folder.File("big.ini");
    ASSERT_EQ(1, store.Save(path.c_str()));
    std::string written = TempFolder::Read(path);
    EXPECT_GT(written.size(), 10000u);
    EXPECT_EQ("[Section59]", written.substr(written.rfind('[') , 11));
    EXPECT_EQ("\r\n\r\n", written.substr(written.size() - 4));
}

// CRLF and the blank line after each section make a saved text longer than
// the one read: a save the next start would read only in part keeps the old file.
TEST_F(IniStoreTest, ASaveLongerThanTheReaderReadsKeepsTheOldFile)
{
    const struct { int sections; int saved; } rows[] = {{30, 1}, {50, 0}};
    for (const auto& row : rows) {
        std::string text;
        for (int s = 0; s < row.sections; ++s) {
            text += "[S" + std::to_string(s) + "]\n";
            for (int k = 0; k < 40; ++k) text += "BtnKey" + std::to_string(k) + "=" + std::to_string(s) + "," + std::to_string(k) + "\n";
        }
        ASSERT_LE(text.size(), 30000u);
        const std::string path = folder.Write("skin.ini", text);
        ASSERT_EQ(1, store.Load(path.c_str()));
        EXPECT_EQ(row.saved, store.Save(path.c_str())) << row.sections;
        const std::string after = TempFolder::Read(path);
        EXPECT_EQ(row.saved ? after.size() <= 30000u : after == text, true) << row.sections;
    }
}

TEST_F(IniStoreTest, FailedSaveReportsZeroAndKeepsTheOldFile)
{
    ASSERT_EQ(1, LoadText("[S]\nk=v\n"));
    EXPECT_EQ(0, store.Save(folder.File("no/such/folder/x.ini").c_str()));
    EXPECT_EQ(0, store.Save(""));
    // A folder in the target's place cannot be replaced by a file.
    std::string dir = folder.File("dir");
    std::filesystem::create_directory(dir);
    EXPECT_EQ(0, store.Save(dir.c_str()));
    EXPECT_TRUE(std::filesystem::is_directory(dir));
    // No temporary files are left behind by the failures.
    size_t entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(folder.Path())) entries += e.path().filename() != "test.ini";
    EXPECT_EQ(1u, entries);
}

TEST_F(IniStoreTest, SaveThroughALinkKeepsTheLink)
{
    std::string target = folder.Write("real.ini", "[S]\nk=old\n");
    std::string link = folder.File("link.ini");
    ASSERT_EQ(0, ::symlink(target.c_str(), link.c_str()));
    ASSERT_EQ(1, store.Load(link.c_str()));
    ASSERT_EQ(1, store.SetValue("S", "k", "new"));
    ASSERT_EQ(1, store.Save(link.c_str()));
    struct stat st;
    ASSERT_EQ(0, ::lstat(link.c_str(), &st));
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ("[S]\r\nk=new\r\n\r\n", TempFolder::Read(target));
}

TEST_F(IniStoreTest, ClearEmptiesTheStore)
{
    ASSERT_EQ(1, LoadText("[S]\nk=v\n"));
    store.Clear();
    EXPECT_EQ(-1, store.FindSection("S"));
    std::string path = folder.File("empty.ini");
    ASSERT_EQ(1, store.Save(path.c_str()));
    EXPECT_EQ("", TempFolder::Read(path));
}

// A process killed while saving leaves the old file or the new one whole.
TEST_F(IniStoreTest, KillDuringSaveNeverTruncates)
{
    std::string text;
    for (int s = 0; s < 40; ++s) {
        text += "[Group" + std::to_string(s) + "]\r\n";
        for (int k = 0; k < 20; ++k) text += "Btn" + std::to_string(k) + "=Button" + std::to_string(s * 20 + k) + "\r\n";
        text += "\r\n";
    }
    std::string path = folder.Write("skin.ini", text);
    ASSERT_EQ(1, store.Load(path.c_str()));
    ASSERT_EQ(1, store.Save(path.c_str()));
    std::string before = TempFolder::Read(path);
    ASSERT_EQ(1, store.SetValue("Group39", "Btn19", "ButtonXYZ"));
    ASSERT_EQ(1, store.Save(folder.File("other.ini").c_str()));
    std::string after = TempFolder::Read(folder.File("other.ini"));
    for (int round = 0; round < 20; ++round) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i) {
                store.SetValue("Group39", "Btn19", i % 2 ? "ButtonXYZ" : "Button799");
                store.Save(path.c_str());
            }
        }
        usleep(2000 + round * 1500);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        std::string now = TempFolder::Read(path);
        EXPECT_TRUE(now == before || now == after) << "round " << round << ": " << now.size() << " bytes";
    }
}

} // namespace
