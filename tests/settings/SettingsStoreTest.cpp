#include "platform/Registry.h"
#include "platform/SystemInfo.h"
#include "settings/SettingsOwners.h"
#include "settings/SettingsStore.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

const char kGeneral[] = "SOFTWARE\\Fernhill\\Tallix\\General";
const char kMenu[] = "SOFTWARE\\Fernhill\\Tallix\\Menu";
const char kCalculator[] = "SOFTWARE\\Fernhill\\Tallix\\Calculator";
const char kCurrency[] = "SOFTWARE\\Fernhill\\Tallix\\Currency";
const char kMemory[] = "SOFTWARE\\Fernhill\\Tallix\\Memory";

class FakeSystem : public SystemInfo {
public:
    FakeSystem(int w, int h, std::string name) : width(w), height(h), device(std::move(name)) {}
    int ScreenSize(int& w, int& h) override
    {
        if (width < 0) return 0;
        w = width;
        h = height;
        return 1;
    }
    std::string DeviceName() override { return device; }
    int width, height;
    std::string device;
};

// Records what the store hands over, and answers with its own values at save.
class RecordingOwner : public CalculatorSettingsOwner, public DoubleScaleOwner {
public:
    void SetCalcBase(int v) override { calls.push_back("base " + std::to_string(v)); }
    void SetNotation(int v) override { calls.push_back("notation " + std::to_string(v)); }
    void SetRepeatedEquals(int v) override { calls.push_back("equals " + std::to_string(v)); }
    void SetCalcMode(int v) override { calls.push_back("mode " + std::to_string(v)); }
    void SetStackSize(int v) override
    {
        calls.push_back("stack " + std::to_string(v));
        if (v >= 3 && v <= 20) stack = v;
    }
    void SetMemoryText(int i, const std::string& t) override { calls.push_back("memory " + std::to_string(i) + " '" + t + "'"); }
    void SetDoubleScale(int v) override { calls.push_back("vga " + std::to_string(v)); }
    int CalcBase() const override { return 16; }
    int Notation() const override { return 2; }
    int RepeatedEquals() const override { return 0; }
    int CalcMode() const override { return 4; }
    int StackSize() const override { return stack; }
    std::string MemoryText(int i) const override { return i == 1 ? "2.5" : i == 7 ? "-8" : ""; }
    int DoubleScale() const override { return 1; }

    std::vector<std::string> calls;
    int stack = 4;
};

// Remembers the order of writes.
class WriteLog : public CMemoryRegistry {
public:
    int WriteText(const char* key, const char* name, const char* text) override
    {
        order.push_back(std::string(key).substr(std::string(key).rfind('\\') + 1) + "/" + name);
        return CMemoryRegistry::WriteText(key, name, text);
    }
    int WriteNumber(const char* key, const char* name, int32_t value) override
    {
        order.push_back(std::string(key).substr(std::string(key).rfind('\\') + 1) + "/" + name);
        return CMemoryRegistry::WriteNumber(key, name, value);
    }
    std::vector<std::string> order;
};

TEST(SettingsStoreTest, EmptyRegistryGivesTheDefaults)
{
    CMemoryRegistry registry;
    FakeSystem system(1024, 768, "desk");
    RecordingOwner owner;
    CSettingsStore store;
    ASSERT_EQ(1, store.LoadSettings(registry, system, &owner, &owner));
    struct Case { const char* what; int actual; int expected; } cases[] = {
        {"RegionalSettings", store.RegionalSettings(), 0}, {"RegionalCurrency", store.RegionalCurrency(), 1},
        {"ClearType", store.ClearType(), 1}, {"PlaySounds", store.PlaySounds(), 1}, {"Scrolling", store.Scrolling(), 0},
        {"VGA", store.VGA(), 0}, {"SelectedWindow", store.SelectedWindow(), 0},
        {"NumberOfWindows", store.NumberOfWindows(), 9}, {"left", store.WindowRect().left, -1},
        {"top", store.WindowRect().top, 0}, {"day", store.DownloadDate().day, 1}, {"month", store.DownloadDate().month, 6},
        {"year", store.DownloadDate().year, 2004}, {"AutoDownload", store.AutoDownload(), 1},
        {"CurrencyFrom", store.CurrencyFrom(), 0}, {"CurrencyTo", store.CurrencyTo(), 1},
        {"CurrencyFromSelect", store.CurrencyFromSelect(), 1}, {"UseProxy", store.UseProxy(), 2},
        {"UseConMgr", store.UseConMgr(), 1}, {"UseWireless", store.UseWireless(), 1},
        {"Section", store.ConvertorSection(), 0}, {"ConvertorFrom", store.ConvertorFrom(), 0},
        {"ConvertorTo", store.ConvertorTo(), 1}, {"ConvertorFromSelect", store.ConvertorFromSelect(), 1},
        {"Percentage", store.Percentage(), 15}, {"NumPeople", store.NumPeople(), 2},
        {"VGAChosen", store.VGAChosen(), 0}, {"IniFileStored", store.IniFileStored(), 0},
        {"TrayNoticeShown", store.TrayNoticeShown(), 0},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, c.actual) << c.what;
    EXPECT_EQ("default.ini", store.IniFile());
    for (int i = 0; i < 9; ++i) EXPECT_EQ(i + 1, store.MenuItem(i));
    std::vector<std::string> expected = {"vga 0", "base 10", "notation 0", "equals 1", "mode 1", "stack 4",
        "memory 0 ''", "memory 1 ''", "memory 2 ''", "memory 3 ''", "memory 4 ''", "memory 5 ''", "memory 6 ''",
        "memory 7 ''"};
    EXPECT_EQ(expected, owner.calls);
}

TEST(SettingsStoreTest, ScreenShapeChoosesTheMenuLength)
{
    struct Case { int width; int height; int vga; int expected; } cases[] = {
        {320, 240, 0, 5}, {640, 480, 1, 5}, {640, 480, 0, 9}, {320, 240, 1, 9}, {600, 600, 0, 5},
        {1920, 1080, 1, 9}, {-1, -1, 0, 9},
    };
    for (const Case& c : cases) {
        CMemoryRegistry registry;
        if (c.vga) registry.WriteNumber(kGeneral, "VGA", 1);
        FakeSystem system(c.width, c.height, "desk");
        CSettingsStore store;
        store.LoadSettings(registry, system, nullptr, nullptr);
        EXPECT_EQ(c.expected, store.NumberOfWindows()) << c.width << "x" << c.height << " vga " << c.vga;
        for (int i = 0; i < 9; ++i) EXPECT_EQ(i + 1, store.MenuItem(i));
    }
}

// The scale is the user's only once chosen; a double scale stored before the
// flag existed was chosen, a stored normal scale is merely the old default.
TEST(SettingsStoreTest, ScaleIsChosenOnlyByTheUser)
{
    struct Case { int vga; int chosen; int expected; } cases[] = {
        {-1, -1, 0}, {0, -1, 0}, {1, -1, 1}, {1, 0, 0}, {0, 1, 1},
    };
    for (const Case& c : cases) {
        CMemoryRegistry registry;
        if (c.vga >= 0) registry.WriteNumber(kGeneral, "VGA", c.vga);
        if (c.chosen >= 0) registry.WriteNumber(kGeneral, "VGAChosen", c.chosen);
        FakeSystem system(1024, 768, "desk");
        CSettingsStore store;
        store.LoadSettings(registry, system, nullptr, nullptr);
        EXPECT_EQ(c.expected, store.VGAChosen()) << "vga " << c.vga << " chosen " << c.chosen;
        store.SaveSettings(registry, nullptr, nullptr);
        CSettingsStore again;
        again.LoadSettings(registry, system, nullptr, nullptr);
        EXPECT_EQ(c.expected, again.VGAChosen()) << "after a save, vga " << c.vga;
    }
}

TEST(SettingsStoreTest, ScrollingIsOffByDefaultOnlyOnTheSlowDevice)
{
    struct Case { const char* device; int stored; int expected; } cases[] = {
        {"x50v", -1, 3}, {"x50v", 1, 1}, {"X50V", -1, 0}, {"x50v2", -1, 0}, {"", -1, 0}, {"desk", 2, 2},
    };
    for (const Case& c : cases) {
        CMemoryRegistry registry;
        if (c.stored >= 0) registry.WriteNumber(kGeneral, "Scrolling", c.stored);
        FakeSystem system(1024, 768, c.device);
        CSettingsStore store;
        store.LoadSettings(registry, system, nullptr, nullptr);
        EXPECT_EQ(c.expected, store.Scrolling()) << c.device << " " << c.stored;
    }
}

TEST(SettingsStoreTest, PartlyStoredGroupsFallBackTogether)
{
    CMemoryRegistry registry;
    registry.WriteNumber(kMenu, "NumberOfWindows", 3);
    registry.WriteNumber(kMenu, "MenuItem0", 7);
    registry.WriteNumber(kMenu, "MenuItem1", 8);
    registry.WriteNumber(kCurrency, "Download_Day", 15);
    registry.WriteNumber(kCurrency, "Download_Year", 2005 + 0x10000);
    FakeSystem system(1024, 768, "desk");
    CSettingsStore store;
    store.LoadSettings(registry, system, nullptr, nullptr);
    EXPECT_EQ(3, store.NumberOfWindows());
    for (int i = 0; i < 9; ++i) EXPECT_EQ(i + 1, store.MenuItem(i));
    EXPECT_EQ(1, store.DownloadDate().day);
    EXPECT_EQ(6, store.DownloadDate().month);
    EXPECT_EQ(2005, store.DownloadDate().year);
}

TEST(SettingsStoreTest, OnlyTheListedMenuItemsAreRead)
{
    struct Case { int count; std::vector<int> expected; } cases[] = {
        {2, {5, 6, 3, 4, 5, 6, 7, 8, 9}},
        {40, {5, 6, 7, 8, 9, 10, 11, 12, 13}},
        {-3, {1, 2, 3, 4, 5, 6, 7, 8, 9}},
    };
    for (const Case& c : cases) {
        CMemoryRegistry registry;
        registry.WriteNumber(kMenu, "NumberOfWindows", c.count);
        for (int i = 0; i < 12; ++i) registry.WriteNumber(kMenu, ("MenuItem" + std::to_string(i)).c_str(), i + 5);
        FakeSystem system(1024, 768, "desk");
        CSettingsStore store;
        store.LoadSettings(registry, system, nullptr, nullptr);
        EXPECT_EQ(c.count, store.NumberOfWindows());
        for (int i = 0; i < 9; ++i) EXPECT_EQ(c.expected[i], store.MenuItem(i)) << c.count << " item " << i;
    }
}

TEST(SettingsStoreTest, MemoryTextsMustFitTheirBuffer)
{
    CMemoryRegistry registry;
    registry.WriteText(kMemory, "Memory1", std::string(32, '1').c_str());
    registry.WriteText(kMemory, "Memory2", "1.18059162071741e+021"); // 2^70, as the display holds it
    registry.WriteText(kMemory, "Memory3", "-1.5e-07");
    registry.WriteNumber(kMemory, "Memory4", 0x3233);
    registry.WriteText(kMemory, "Memory6", "6");
    registry.WriteText(kMemory, "Memory8", "-8.5e+021");
    RecordingOwner owner;
    FakeSystem system(1024, 768, "desk");
    CSettingsStore store;
    store.LoadSettings(registry, system, &owner, nullptr);
    std::vector<std::string> memory(owner.calls.end() - 8, owner.calls.end());
    std::vector<std::string> expected = {"memory 0 ''", "memory 1 '1.18059162071741e+021'", "memory 2 '-1.5e-07'",
        "memory 3 '32'", "memory 4 ''", "memory 5 '6'", "memory 6 ''", "memory 7 '-8.5e+021'"};
    EXPECT_EQ(expected, memory);
}

TEST(SettingsStoreTest, OwnersKeepTheirLimits)
{
    CMemoryRegistry registry;
    registry.WriteNumber(kCalculator, "StackSize", 25);
    registry.WriteNumber(kGeneral, "WindowPositionLeft", -1);
    RecordingOwner owner;
    FakeSystem system(1024, 768, "desk");
    CSettingsStore store;
    store.LoadSettings(registry, system, &owner, &owner);
    EXPECT_EQ(-1, store.WindowRect().left);
    EXPECT_EQ(4, owner.StackSize());
    CMemoryRegistry saved;
    store.SaveSettings(saved, &owner, &owner);
    int32_t value = 0;
    ASSERT_EQ(1, saved.ReadNumber(kCalculator, "StackSize", value));
    EXPECT_EQ(4, value);
    ASSERT_EQ(1, saved.ReadNumber(kGeneral, "WindowPositionLeft", value));
    EXPECT_EQ(-1, value);
}

TEST(SettingsStoreTest, SaveWritesEveryValueInOrder)
{
    RecordingOwner owner;
    CSettingsStore store;
    FakeSystem system(1024, 768, "desk");
    CMemoryRegistry empty;
    store.LoadSettings(empty, system, nullptr, nullptr);
    WriteLog log;
    EXPECT_EQ(1, store.SaveSettings(log, &owner, &owner));
    std::vector<std::string> expected = {"General/IniFile", "General/RegionalSettings", "General/RegionalCurrency",
        "General/ClearType", "General/PlaySounds", "General/Scrolling", "General/WindowPositionLeft",
        "General/WindowPositionTop", "General/VGA", "Menu/SelectedWindow", "Menu/NumberOfWindows"};
    for (int i = 0; i < 9; ++i) expected.push_back("Menu/MenuItem" + std::to_string(i));
    for (const char* name : {"Download_Day", "Download_Month", "Download_Year", "AutoDownload", "From", "To",
                             "FromSelect", "UseProxy", "UseConMgr", "UseWireless"})
        expected.push_back(std::string("Currency/") + name);
    for (const char* name : {"Section", "From", "To", "FromSelect"}) expected.push_back(std::string("Convertor/") + name);
    expected.push_back("TipCalc/Percentage");
    expected.push_back("TipCalc/NumPeople");
    for (int i = 1; i <= 8; ++i) expected.push_back("Memory/Memory" + std::to_string(i));
    for (const char* name : {"CalcBase", "Notation", "RepeatedEquals", "CalcMode", "StackSize"})
        expected.push_back(std::string("Calculator/") + name);
    expected.push_back("General/VGAChosen");
    expected.push_back("General/TrayNoticeShown");
    EXPECT_EQ(expected, log.order);

    struct Case { const char* key; const char* name; int expected; } owned[] = {
        {kGeneral, "VGA", 1}, {kCalculator, "CalcBase", 16}, {kCalculator, "Notation", 2},
        {kCalculator, "RepeatedEquals", 0}, {kCalculator, "CalcMode", 4}, {kCalculator, "StackSize", 4},
    };
    for (const Case& c : owned) {
        int32_t value = -99;
        EXPECT_EQ(1, log.ReadNumber(c.key, c.name, value)) << c.name;
        EXPECT_EQ(c.expected, value) << c.name;
    }
    std::string text;
    for (auto [name, expectedText] : {std::pair{"Memory1", "0"}, {"Memory2", "2.5"}, {"Memory5", "0"}, {"Memory6", "0"},
                                    {"Memory8", "-8"}}) {
        EXPECT_EQ(1, log.ReadText(kMemory, name, text, 20));
        EXPECT_EQ(expectedText, text);
    }
}

TEST(SettingsStoreTest, ApplyDefaultsTouchesOnlyTheNamedValues)
{
    CSettingsStore store;
    store.SetSelectedWindow(4);
    store.SetPercentage(3);
    store.SetIniFile("mine.ini");
    store.ApplyDefaults(CSettingsStore::kSelectedWindow);
    EXPECT_EQ(0, store.SelectedWindow());
    EXPECT_EQ(3, store.Percentage());
    EXPECT_EQ("mine.ini", store.IniFile());
    store.SetIniFile(std::string(300, 'a'));
    EXPECT_EQ(255u, store.IniFile().size());
}

// One automatic rates download a day at most once one has succeeded.
TEST(SettingsStoreTest, TheAutomaticDownloadWaitsForTheNextDay)
{
    const struct {
        SettingsDate lastSuccess;
        SettingsDate today;
        bool download;
    } rows[] = {
        {{7, 12, 2026}, {7, 12, 2026}, false},
        {{6, 12, 2026}, {7, 12, 2026}, true},
        {{7, 11, 2026}, {7, 12, 2026}, true},
        {{7, 12, 2025}, {7, 12, 2026}, true},
        {{1, 6, 2004}, {7, 12, 2026}, true},  // the default: never downloaded
        {{8, 12, 2026}, {7, 12, 2026}, true}, // the clock went back
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.lastSuccess.year << "-" << row.lastSuccess.month << "-" << row.lastSuccess.day);
        EXPECT_EQ(ShouldDownloadAutomatically(row.lastSuccess, row.today), row.download);
    }
}

} // namespace
