#include "settings/SettingsStore.h"

#include "platform/RegistryAccess.h"
#include "platform/SystemInfo.h"
#include "settings/SettingsOwners.h"

namespace {

const char kGeneral[] = "SOFTWARE\\Fernhill\\Tallix\\General";
const char kMenu[] = "SOFTWARE\\Fernhill\\Tallix\\Menu";
const char kCalculator[] = "SOFTWARE\\Fernhill\\Tallix\\Calculator";
const char kCurrency[] = "SOFTWARE\\Fernhill\\Tallix\\Currency";
const char kConvertor[] = "SOFTWARE\\Fernhill\\Tallix\\Convertor";
const char kTipCalc[] = "SOFTWARE\\Fernhill\\Tallix\\TipCalc";
const char kMemory[] = "SOFTWARE\\Fernhill\\Tallix\\Memory";

// The device on which page scrolling is off unless the user chose otherwise.
const char kSlowDevice[] = "x50v";

// Reads a number; when missing, the default applies through `fallback`.
template <typename Fallback>
void ReadOr(RegistryAccess& registry, const char* key, const char* name, int& out, Fallback fallback)
{
    int32_t value = 0;
    if (registry.ReadNumber(key, name, value))
        out = value;
    else
        fallback();
}

int ReadDirect(RegistryAccess& registry, const char* key, const char* name, int def)
{
    int32_t value = 0;
    return registry.ReadNumber(key, name, value) ? value : def;
}

std::string MenuItemName(int index)
{
    return "MenuItem" + std::to_string(index);
}

std::string MemoryName(int index)
{
    return "Memory" + std::to_string(index + 1);
}

} // namespace

CSettingsStore::CSettingsStore()
{
    // Entries beyond NumberOfWindows are never read; they keep valid group kinds.
    ApplyDefaults(kMenuItems);
}

CSettingsStore& CSettingsStore::Instance()
{
    static CSettingsStore store;
    return store;
}

bool CSettingsStore::IsNarrowScreen(int width, int height, int doubleScale)
{
    return width == (doubleScale ? 640 : 320) || width == height;
}

void CSettingsStore::ApplyDefaults(uint32_t mask)
{
    if (mask & kIniFile) iniFile_ = "default.ini";
    if (mask & kRegionalSettings) regionalSettings_ = 0;
    if (mask & kRegionalCurrency) regionalCurrency_ = 1;
    if (mask & kClearType) clearType_ = 1;
    if (mask & kSelectedWindow) selectedWindow_ = 0;
    if (mask & kNumberOfWindows) numberOfWindows_ = narrowScreen_ ? 5 : 9;
    if (mask & kMenuItems)
        for (int i = 0; i < kMenuItemCount; ++i) menuItems_[i] = i + 1;
    if (mask & kDownloadDate) downloadDate_ = SettingsDate{1, 6, 2004};
    if (mask & kAutoDownload) autoDownload_ = 1;
    if (mask & kCurrencyFrom) currencyFrom_ = 0;
    if (mask & kCurrencyTo) currencyTo_ = 1;
    if (mask & kCurrencyFromSelect) currencyFromSelect_ = 1;
    if (mask & kConvertorSection) convertorSection_ = 0;
    if (mask & kConvertorFrom) convertorFrom_ = 0;
    if (mask & kConvertorTo) convertorTo_ = 1;
    if (mask & kConvertorFromSelect) convertorFromSelect_ = 1;
    if (mask & kPlaySounds) playSounds_ = 1;
    if (mask & kScrolling) scrolling_ = 0;
    if (mask & kMemoryText) memoryBuffer_.clear();
    if (mask & kPercentage) percentage_ = 15;
    if (mask & kNumPeople) numPeople_ = 2;
}

int CSettingsStore::LoadSettings(RegistryAccess& registry, SystemInfo& system, CalculatorSettingsOwner* calculator,
                                 DoubleScaleOwner* scale)
{
    LoadGeneral(registry, system, scale);
    int width = 0, height = 0;
    narrowScreen_ = system.ScreenSize(width, height) && IsNarrowScreen(width, height, vga_);
    LoadMenu(registry);
    // No stored position: the desktop places the window.
    windowRect_.left = ReadDirect(registry, kGeneral, "WindowPositionLeft", -1);
    windowRect_.top = ReadDirect(registry, kGeneral, "WindowPositionTop", 0);
    LoadCalculator(registry, calculator);
    int count = numberOfWindows_ < kMenuItemCount ? numberOfWindows_ : kMenuItemCount;
    for (int i = 0; i < count; ++i) {
        int32_t kind = 0;
        if (!registry.ReadNumber(kMenu, MenuItemName(i).c_str(), kind)) {
            ApplyDefaults(kMenuItems);
            break;
        }
        menuItems_[i] = kind;
    }
    LoadCurrency(registry);
    ReadOr(registry, kConvertor, "Section", convertorSection_, [&] { ApplyDefaults(kConvertorSection); });
    ReadOr(registry, kConvertor, "From", convertorFrom_, [&] { ApplyDefaults(kConvertorFrom); });
    ReadOr(registry, kConvertor, "To", convertorTo_, [&] { ApplyDefaults(kConvertorTo); });
    ReadOr(registry, kConvertor, "FromSelect", convertorFromSelect_, [&] { ApplyDefaults(kConvertorFromSelect); });
    ReadOr(registry, kTipCalc, "Percentage", percentage_, [&] { ApplyDefaults(kPercentage); });
    ReadOr(registry, kTipCalc, "NumPeople", numPeople_, [&] { ApplyDefaults(kNumPeople); });
    LoadMemory(registry, calculator);
    return 1;
}

void CSettingsStore::LoadGeneral(RegistryAccess& registry, SystemInfo& system, DoubleScaleOwner* scale)
{
    std::string name;
    iniFileStored_ = registry.ReadText(kGeneral, "IniFile", name, kMaxIniFile + 1) ? 1 : 0;
    if (iniFileStored_)
        iniFile_ = name;
    else
        ApplyDefaults(kIniFile);
    ReadOr(registry, kGeneral, "RegionalSettings", regionalSettings_, [&] { ApplyDefaults(kRegionalSettings); });
    ReadOr(registry, kGeneral, "RegionalCurrency", regionalCurrency_, [&] { ApplyDefaults(kRegionalCurrency); });
    ReadOr(registry, kGeneral, "ClearType", clearType_, [&] { ApplyDefaults(kClearType); });
    ReadOr(registry, kGeneral, "PlaySounds", playSounds_, [&] { ApplyDefaults(kPlaySounds); });
    // The scrolling default depends on the device; a stored choice always wins.
    ReadOr(registry, kGeneral, "Scrolling", scrolling_, [&] {
        ApplyDefaults(kScrolling);
        if (system.DeviceName() == kSlowDevice) scrolling_ = 3;
    });
    vga_ = ReadDirect(registry, kGeneral, "VGA", 0);
    vgaChosen_ = ReadDirect(registry, kGeneral, "VGAChosen", vga_) ? 1 : 0;
    trayNoticeShown_ = ReadDirect(registry, kGeneral, "TrayNoticeShown", 0) ? 1 : 0;
    if (scale) scale->SetDoubleScale(vga_);
}

void CSettingsStore::LoadMenu(RegistryAccess& registry)
{
    ReadOr(registry, kMenu, "SelectedWindow", selectedWindow_, [&] { ApplyDefaults(kSelectedWindow); });
    ReadOr(registry, kMenu, "NumberOfWindows", numberOfWindows_, [&] { ApplyDefaults(kNumberOfWindows); });
}

void CSettingsStore::LoadCalculator(RegistryAccess& registry, CalculatorSettingsOwner* calculator)
{
    calcBase_ = ReadDirect(registry, kCalculator, "CalcBase", 10);
    if (calculator) calculator->SetCalcBase(calcBase_);
    notation_ = ReadDirect(registry, kCalculator, "Notation", 0);
    if (calculator) calculator->SetNotation(notation_);
    repeatedEquals_ = ReadDirect(registry, kCalculator, "RepeatedEquals", 1);
    if (calculator) calculator->SetRepeatedEquals(repeatedEquals_);
    calcMode_ = ReadDirect(registry, kCalculator, "CalcMode", 1);
    if (calculator) calculator->SetCalcMode(calcMode_);
    stackSize_ = ReadDirect(registry, kCalculator, "StackSize", 4);
    if (calculator) calculator->SetStackSize(stackSize_);
}

void CSettingsStore::LoadCurrency(RegistryAccess& registry)
{
    // A missing part resets the whole date; parts read later overwrite their own.
    const struct {
        const char* name;
        uint16_t SettingsDate::*part;
    } parts[] = {{"Download_Day", &SettingsDate::day}, {"Download_Month", &SettingsDate::month},
                 {"Download_Year", &SettingsDate::year}};
    for (const auto& part : parts) {
        int32_t value = 0;
        if (registry.ReadNumber(kCurrency, part.name, value))
            downloadDate_.*part.part = static_cast<uint16_t>(value & 0xFFFF);
        else
            ApplyDefaults(kDownloadDate);
    }
    ReadOr(registry, kCurrency, "AutoDownload", autoDownload_, [&] { ApplyDefaults(kAutoDownload); });
    ReadOr(registry, kCurrency, "From", currencyFrom_, [&] { ApplyDefaults(kCurrencyFrom); });
    ReadOr(registry, kCurrency, "To", currencyTo_, [&] { ApplyDefaults(kCurrencyTo); });
    ReadOr(registry, kCurrency, "FromSelect", currencyFromSelect_, [&] { ApplyDefaults(kCurrencyFromSelect); });
    useProxy_ = ReadDirect(registry, kCurrency, "UseProxy", 2);
    useConMgr_ = ReadDirect(registry, kCurrency, "UseConMgr", 1);
    useWireless_ = ReadDirect(registry, kCurrency, "UseWireless", 1);
}

void CSettingsStore::LoadMemory(RegistryAccess& registry, CalculatorSettingsOwner* calculator)
{
    for (int i = 0; i < kMemoryCount; ++i) {
        if (!registry.ReadText(kMemory, MemoryName(i).c_str(), memoryBuffer_, kMaxMemoryText + 1))
            ApplyDefaults(kMemoryText);
        memory_[i] = memoryBuffer_;
        if (calculator) calculator->SetMemoryText(i, memoryBuffer_);
    }
}

int CSettingsStore::SaveSettings(RegistryAccess& registry, const CalculatorSettingsOwner* calculator,
                                 const DoubleScaleOwner* scale)
{
    int ok = 1;
    auto number = [&](const char* key, const char* name, int value) { ok &= registry.WriteNumber(key, name, value); };
    auto text = [&](const char* key, const char* name, const std::string& value) {
        ok &= registry.WriteText(key, name, value.c_str());
    };
    registry.BeginWrites();
    text(kGeneral, "IniFile", iniFile_);
    number(kGeneral, "RegionalSettings", regionalSettings_);
    number(kGeneral, "RegionalCurrency", regionalCurrency_);
    number(kGeneral, "ClearType", clearType_);
    number(kGeneral, "PlaySounds", playSounds_);
    number(kGeneral, "Scrolling", scrolling_);
    number(kGeneral, "WindowPositionLeft", windowRect_.left);
    number(kGeneral, "WindowPositionTop", windowRect_.top);
    number(kGeneral, "VGA", scale ? scale->DoubleScale() : vga_);

    number(kMenu, "SelectedWindow", selectedWindow_);
    number(kMenu, "NumberOfWindows", numberOfWindows_);
    for (int i = 0; i < kMenuItemCount; ++i) number(kMenu, MenuItemName(i).c_str(), menuItems_[i]);

    number(kCurrency, "Download_Day", downloadDate_.day);
    number(kCurrency, "Download_Month", downloadDate_.month);
    number(kCurrency, "Download_Year", downloadDate_.year);
    number(kCurrency, "AutoDownload", autoDownload_);
    number(kCurrency, "From", currencyFrom_);
    number(kCurrency, "To", currencyTo_);
    number(kCurrency, "FromSelect", currencyFromSelect_);
    number(kCurrency, "UseProxy", useProxy_);
    number(kCurrency, "UseConMgr", useConMgr_);
    number(kCurrency, "UseWireless", useWireless_);

    number(kConvertor, "Section", convertorSection_);
    number(kConvertor, "From", convertorFrom_);
    number(kConvertor, "To", convertorTo_);
    number(kConvertor, "FromSelect", convertorFromSelect_);

    number(kTipCalc, "Percentage", percentage_);
    number(kTipCalc, "NumPeople", numPeople_);

    for (int i = 0; i < kMemoryCount; ++i) {
        std::string value = calculator ? calculator->MemoryText(i) : memory_[i];
        text(kMemory, MemoryName(i).c_str(), value.empty() ? "0" : value);
    }

    number(kCalculator, "CalcBase", calculator ? calculator->CalcBase() : calcBase_);
    number(kCalculator, "Notation", calculator ? calculator->Notation() : notation_);
    number(kCalculator, "RepeatedEquals", calculator ? calculator->RepeatedEquals() : repeatedEquals_);
    number(kCalculator, "CalcMode", calculator ? calculator->CalcMode() : calcMode_);
    number(kCalculator, "StackSize", calculator ? calculator->StackSize() : stackSize_);
    // Ours alone, after the values older versions wrote.
    number(kGeneral, "VGAChosen", vgaChosen_);
    number(kGeneral, "TrayNoticeShown", trayNoticeShown_);
    ok &= registry.EndWrites();
    return ok;
}

void CSettingsStore::SetIniFile(const std::string& name)
{
    iniFile_ = name.size() > kMaxIniFile ? name.substr(0, kMaxIniFile) : name;
}

int CSettingsStore::MenuItem(int index) const
{
    return index >= 0 && index < kMenuItemCount ? menuItems_[index] : 0;
}

void CSettingsStore::SetMenuItem(int index, int kind)
{
    if (index >= 0 && index < kMenuItemCount) menuItems_[index] = kind;
}

std::string CSettingsStore::MemoryText(int index) const
{
    return index >= 0 && index < kMemoryCount ? memory_[index] : std::string();
}

bool ShouldDownloadAutomatically(const SettingsDate& lastSuccess, const SettingsDate& today)
{
    return lastSuccess.day != today.day || lastSuccess.month != today.month || lastSuccess.year != today.year;
}
