#pragma once
// The program's persistent settings: loaded once at start, saved once at exit,
// read and changed in memory by the pages in between.
//
// Registry keys below "SOFTWARE\Fernhill\Tallix": General, Menu, Calculator,
// Currency, Convertor, TipCalc, Memory. A value that is missing, unreadable or
// too long for its buffer gets its default. Values the store does not own
// (base, notation, mode, stack size, repeated equals, memory registers 0..7 and
// the double scale `VGA`) are handed to their owners (settings/SettingsOwners.h)
// and asked back at save; the store also keeps the last loaded copy, which it
// saves when no owner is given.
#include <cstdint>
#include <string>

class RegistryAccess;
class SystemInfo;
class CalculatorSettingsOwner;
class DoubleScaleOwner;

struct SettingsDate {
    uint16_t day = 0;
    uint16_t month = 0;
    uint16_t year = 0;
};

// The window's automatic rates download asks the source at most once a day
// once a download has succeeded: false when `lastSuccess` (the stored date of
// the last successful download) is `today`. A date after today (the clock was
// wrong then or is now) does not hold the download back.
bool ShouldDownloadAutomatically(const SettingsDate& lastSuccess, const SettingsDate& today);

struct SettingsRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

class CSettingsStore {
public:
    // ApplyDefaults bits.
    enum : uint32_t {
        kIniFile = 0x1, kRegionalSettings = 0x2, kRegionalCurrency = 0x4, kClearType = 0x10,
        kSelectedWindow = 0x40, kNumberOfWindows = 0x80, kMenuItems = 0x100, kDownloadDate = 0x200,
        kAutoDownload = 0x400, kCurrencyFrom = 0x800, kCurrencyTo = 0x1000, kCurrencyFromSelect = 0x2000,
        kConvertorSection = 0x4000, kConvertorFrom = 0x8000, kConvertorTo = 0x10000,
        kConvertorFromSelect = 0x20000, kPlaySounds = 0x40000, kScrolling = 0x80000,
        kMemoryText = 0x100000, kPercentage = 0x200000, kNumPeople = 0x400000,
    };
    static constexpr int kMenuItemCount = 9;
    static constexpr int kMemoryCount = 8;
    static constexpr size_t kMaxIniFile = 255;
    // A register holds up to 31 characters; reading fewer dropped long values at restart.
    static constexpr size_t kMaxMemoryText = 31;

    CSettingsStore();
    // The one store of the process.
    static CSettingsStore& Instance();

    // Reads every value, handing the owned-elsewhere ones to the owners (either
    // may be null). `system` gives the screen size for the menu-length default
    // and the device name for the scrolling default. Returns 1.
    int LoadSettings(RegistryAccess& registry, SystemInfo& system, CalculatorSettingsOwner* calculator,
                     DoubleScaleOwner* scale);
    // Writes every value in one batch; failures do not stop it. Returns 1 when
    // everything was stored, 0 otherwise.
    int SaveSettings(RegistryAccess& registry, const CalculatorSettingsOwner* calculator,
                     const DoubleScaleOwner* scale);
    // Puts in place the default of every value named by a bit of `mask`. The
    // menu-length default uses the screen size and double scale of the last
    // LoadSettings (9 entries before any load).
    void ApplyDefaults(uint32_t mask);
    // True for the screen shapes that get 5 menu entries by default: 320 wide
    // (640 in double scale) or square.
    static bool IsNarrowScreen(int width, int height, int doubleScale);

    const std::string& IniFile() const { return iniFile_; }
    // Cut to 255 characters.
    void SetIniFile(const std::string& name);
    int RegionalSettings() const { return regionalSettings_; }
    void SetRegionalSettings(int on) { regionalSettings_ = on; }
    int RegionalCurrency() const { return regionalCurrency_; }
    void SetRegionalCurrency(int on) { regionalCurrency_ = on; }
    int ClearType() const { return clearType_; }
    void SetClearType(int on) { clearType_ = on; }
    int PlaySounds() const { return playSounds_; }
    void SetPlaySounds(int on) { playSounds_ = on; }
    // 0 Normal, 1 Fast, 2 Slow, 3 Off.
    int Scrolling() const { return scrolling_; }
    void SetScrolling(int speed) { scrolling_ = speed; }
    // Last loaded double scale (the owner holds the live value).
    int VGA() const { return vga_; }
    void SetVGA(int on) { vga_ = on; }
    // 1 once the user chose the scale; until then the window picks it from
    // the screen's density. A stored double scale from before the flag
    // existed counts as chosen.
    int VGAChosen() const { return vgaChosen_; }
    void SetVGAChosen(int on) { vgaChosen_ = on ? 1 : 0; }
    // 0 when the last load found no skin stored: a first start, which may
    // pick the skin that suits the desktop.
    int IniFileStored() const { return iniFileStored_; }
    // 1 once the window told the user where it goes when closed to the tray.
    int TrayNoticeShown() const { return trayNoticeShown_; }
    void SetTrayNoticeShown(int on) { trayNoticeShown_ = on ? 1 : 0; }

    int SelectedWindow() const { return selectedWindow_; }
    void SetSelectedWindow(int index) { selectedWindow_ = index; }
    int NumberOfWindows() const { return numberOfWindows_; }
    void SetNumberOfWindows(int count) { numberOfWindows_ = count; }
    // Group kind of menu entry `index` (0..8); 0 for an index out of range.
    int MenuItem(int index) const;
    void SetMenuItem(int index, int kind);

    const SettingsRect& WindowRect() const { return windowRect_; }
    // Left -1 leaves the window where start-up put it; so does a load that
    // found no position stored (a first start).
    void SetWindowRect(const SettingsRect& rect) { windowRect_ = rect; }

    // Last loaded copies of the calculator's values (the owner holds the live ones).
    int CalcBase() const { return calcBase_; }
    int Notation() const { return notation_; }
    int RepeatedEquals() const { return repeatedEquals_; }
    int CalcMode() const { return calcMode_; }
    int StackSize() const { return stackSize_; }
    // Text of memory register `index` (0..7); "" out of range.
    std::string MemoryText(int index) const;

    const SettingsDate& DownloadDate() const { return downloadDate_; }
    void SetDownloadDate(const SettingsDate& date) { downloadDate_ = date; }
    int AutoDownload() const { return autoDownload_; }
    void SetAutoDownload(int on) { autoDownload_ = on; }
    int CurrencyFrom() const { return currencyFrom_; }
    void SetCurrencyFrom(int index) { currencyFrom_ = index; }
    int CurrencyTo() const { return currencyTo_; }
    void SetCurrencyTo(int index) { currencyTo_ = index; }
    int CurrencyFromSelect() const { return currencyFromSelect_; }
    void SetCurrencyFromSelect(int top) { currencyFromSelect_ = top; }
    // 0 proxy access, 1 preconfigured access, 2 automatic choice.
    int UseProxy() const { return useProxy_; }
    void SetUseProxy(int mode) { useProxy_ = mode; }
    int UseConMgr() const { return useConMgr_; }
    void SetUseConMgr(int on) { useConMgr_ = on; }
    int UseWireless() const { return useWireless_; }
    void SetUseWireless(int on) { useWireless_ = on; }
    // 1 once a rates download has succeeded in this run (never saved): the
    // automatic download is then not tried again.
    int DownloadSucceeded() const { return downloadSucceeded_; }
    void SetDownloadSucceeded(int on) { downloadSucceeded_ = on; }

    int ConvertorSection() const { return convertorSection_; }
    void SetConvertorSection(int index) { convertorSection_ = index; }
    int ConvertorFrom() const { return convertorFrom_; }
    void SetConvertorFrom(int index) { convertorFrom_ = index; }
    int ConvertorTo() const { return convertorTo_; }
    void SetConvertorTo(int index) { convertorTo_ = index; }
    int ConvertorFromSelect() const { return convertorFromSelect_; }
    void SetConvertorFromSelect(int top) { convertorFromSelect_ = top; }

    // Indexes into the tip page's percentage and people lists.
    int Percentage() const { return percentage_; }
    void SetPercentage(int index) { percentage_ = index; }
    int NumPeople() const { return numPeople_; }
    void SetNumPeople(int index) { numPeople_ = index; }

private:
    void LoadGeneral(RegistryAccess& registry, SystemInfo& system, DoubleScaleOwner* scale);
    void LoadMenu(RegistryAccess& registry);
    void LoadCalculator(RegistryAccess& registry, CalculatorSettingsOwner* calculator);
    void LoadCurrency(RegistryAccess& registry);
    void LoadMemory(RegistryAccess& registry, CalculatorSettingsOwner* calculator);

    std::string iniFile_;
    int regionalSettings_ = 0;
    int regionalCurrency_ = 0;
    int clearType_ = 0;
    int playSounds_ = 0;
    int scrolling_ = 0;
    int vga_ = 0;
    int vgaChosen_ = 0;
    int iniFileStored_ = 0;
    int trayNoticeShown_ = 0;
    int selectedWindow_ = 0;
    int numberOfWindows_ = 0;
    int menuItems_[kMenuItemCount] = {};
    SettingsRect windowRect_;
    int calcBase_ = 10;
    int notation_ = 0;
    int repeatedEquals_ = 1;
    int calcMode_ = 1;
    int stackSize_ = 4;
    std::string memory_[kMemoryCount];
    // The memory text buffer that ApplyDefaults(kMemoryText) empties.
    std::string memoryBuffer_;
    SettingsDate downloadDate_;
    int autoDownload_ = 0;
    int currencyFrom_ = 0;
    int currencyTo_ = 0;
    int currencyFromSelect_ = 0;
    int useProxy_ = 2;
    int useConMgr_ = 1;
    int useWireless_ = 0;
    int downloadSucceeded_ = 0;
    int convertorSection_ = 0;
    int convertorFrom_ = 0;
    int convertorTo_ = 0;
    int convertorFromSelect_ = 0;
    int percentage_ = 0;
    int numPeople_ = 0;
    // Screen facts of the last load, for the menu-length default.
    bool narrowScreen_ = false;
};
