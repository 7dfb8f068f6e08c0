#pragma once
// What the Currency options page shows and does, without its controls: the
// status line, the Update Now button's state, the progress bar, the two
// timers, and what the download's messages change.
//
// Time is pushed in: the page's timer calls Advance with the milliseconds
// that passed (tests call it themselves). A result stays on the status line
// for 2.5 s; a download that has not ended after 8 s counts as failed, and
// its end message, if it still comes, is handled all the same.
//
// Uses the process-wide settings store, currency table and downloader.
#include <cstdint>
#include <string>

class IMessageTarget;

// Why the last download failed, in the current language (UTF-8): no
// connection, no answer in time, an error answer, no rates file, or a file
// that could not be saved (CCurrencyDownloader::Failure).
std::string DownloadFailureText(int failure);

class CCurrencyUpdate {
public:
    static constexpr int64_t kResultMs = 2500;
    static constexpr int64_t kWatchdogMs = 8000;

    // window: receives the download's messages and hands them to OnDownloadMessage.
    explicit CCurrencyUpdate(IMessageTarget* window);
    // Stops the downloader telling the window (a running download goes on).
    ~CCurrencyUpdate();
    CCurrencyUpdate(const CCurrencyUpdate&) = delete;
    CCurrencyUpdate& operator=(const CCurrencyUpdate&) = delete;

    // The locale whose short date the status line uses; "" (the default) is the user's.
    void SetDateLocale(const std::string& name) { m_dateLocale = name; }
    // Writes the status line's dates instead (UTF-8, empty for no date), so
    // that they read as the window's other dates do.
    using DateFormatter = std::string (*)(int day, int month, int year);
    void SetDateFormatter(DateFormatter formatter) { m_dateFormatter = formatter; }
    // Status line with the date of the last successful download; progress 0.
    void Init();
    // "Update Now": 1 when the download started.
    int UpdateNow();
    // Message 1324: progress in wParam, the outcome (1, 3, 4; 0 for progress) in lParam.
    void OnDownloadMessage(intptr_t progress, intptr_t status);
    // Lets elapsedMs pass: the timers due in it fire in their order.
    void Advance(int64_t elapsedMs);
    // Milliseconds until the next timer fires; -1 when none runs.
    int64_t NextDueMs() const;

    // UTF-8, in the current language.
    const std::string& StatusText() const { return m_status; }
    int ButtonEnabled() const { return m_buttonEnabled; }
    int Progress() const { return m_progress; }
    // Changes whenever the rates were reloaded (the list is filled again).
    int RatesVersion() const { return m_ratesVersion; }
    int ResultTimerRunning() const { return m_resultDue >= 0; }
    int WatchdogRunning() const { return m_watchdogDue >= 0; }

private:
    void ShowDate();
    int FormatDate(int day, int month, int year, std::string& out) const;
    void ShowText(int stringId);
    void OnResultTimer();
    void OnWatchdog();

    IMessageTarget* m_window;
    std::string m_dateLocale;
    DateFormatter m_dateFormatter = nullptr;
    std::string m_status;
    int m_buttonEnabled = 1;
    int m_progress = 0;
    int m_ratesVersion = 0;
    int64_t m_resultDue = -1;    // ms left on the 2.5 s timer, -1 when stopped
    int64_t m_watchdogDue = -1;  // ms left on the 8 s timer
};
