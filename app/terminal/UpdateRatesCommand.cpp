// tallix --update-rates [--quiet]: downloads the rates now, in the foreground,
// and says what happened, source by source. The sources are $TALLIX_RATES_URL
// when set (one URL, or two separated by a space), else the euro reference
// rates of the day and the UN's operational rates of the month.
#include "app/terminal/RatesFile.h"
#include "app/terminal/TerminalRequest.h"
#include "conversions/CurrencyTable.h"
#include "datafiles/CurrencyDownloader.h"
#include "datafiles/IniStore.h"
#include "datafiles/RatesSource.h"
#include "datafiles/UserData.h"
#include "platform/WindowMessage.h"

#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <utility>

namespace {

// Stands in for the window: shows progress (when asked to) and waits for the outcome.
class CConsoleTarget : public IMessageTarget {
public:
    explicit CConsoleTarget(bool showProgress) : showProgress_(showProgress) {}
    // The download posts; handled at once, there being no window to queue for.
    void PostMessage(unsigned msg, intptr_t wParam, intptr_t lParam) override { SendMessage(msg, wParam, lParam); }
    intptr_t SendMessage(unsigned msg, intptr_t wParam, intptr_t lParam) override
    {
        if (msg != kMsgDownload) return 0;
        std::lock_guard<std::mutex> lock(mutex_);
        if (lParam == 0) {
            if (showProgress_)
                std::fprintf(stderr, "tallix: looking for a way through (%ld%%)\n", static_cast<long>(wParam));
            return 0;
        }
        status_ = static_cast<int>(lParam);
        done_.notify_all();
        return 0;
    }
    int WaitForOutcome()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        done_.wait(lock, [this] { return status_ != 0; });
        return status_;
    }

private:
    bool showProgress_;
    std::mutex mutex_;
    std::condition_variable done_;
    int status_ = 0;
};

// What went wrong with one source, in words that point at the cause.
std::string FailureText(const CCurrencyDownloader::SSourceOutcome& outcome, const std::string& path)
{
    const std::string& url = outcome.url;
    switch (outcome.failure) {
    case CCurrencyDownloader::kFailTimeout: return "the rates server at " + url + " stopped answering (time-out)";
    case CCurrencyDownloader::kFailHttpStatus:
        return "the rates server answered HTTP status " + std::to_string(outcome.httpStatus) + " for " + url;
    case CCurrencyDownloader::kFailTooLarge:
        return "the answer from " + url + " is too large for a rates file (at most " +
               std::to_string(CCurrencyDownloader::kMaxRatesBytes) + " bytes, " +
               std::to_string(CCurrencyDownloader::kMaxXmlRatesBytes) + " as XML)";
    case CCurrencyDownloader::kFailNotRates:
        return "the answer from " + url + " is no usable rates file (" +
               (outcome.refusal.empty() ? std::string("no [Conversions] section with rates") : outcome.refusal) + ")";
    case CCurrencyDownloader::kFailWrite: return "the rates file " + path + " could not be written";
    default: return "no connection to the rates server at " + url;
    }
}

// ", rates of 2026-12-04": the date of the rates the file holds from `url`.
std::string SourceDate(const std::string& path, const std::string& url)
{
    CIniStore rates;
    if (!rates.Load(path.c_str())) return {};
    const std::pair<const char*, const char*> kinds[] = {{kRatesSourceKey, kRatesDateKey}, {kRatesUnSourceKey, kRatesUnDateKey}};
    for (const auto& [sourceKey, dateKey] : kinds) {
        std::string source, date;
        rates.GetString(source, kRatesInfoSection, sourceKey, "");
        rates.GetString(date, kRatesInfoSection, dateKey, "");
        if (source == url && !date.empty()) return ", rates of " + date;
    }
    return {};
}

} // namespace

int RunUpdateRatesCommand(const STerminalRequest& request)
{
    const bool quiet = request.Has("--quiet");
    const std::string url = CCurrencyDownloader::DownloadUrl();
    const std::string path = RatesFilePath();
    CConsoleTarget target(!quiet && IsTerminal(STDERR_FILENO));
    CCurrencyDownloader downloader;
    if (!downloader.Prepare(url.c_str(), &target, path.c_str(), ShippedRatesPath().c_str()))
        return Failure("can't download from \"" + url + "\" to \"" + path + "\" (at most " +
                       std::to_string(CCurrencyDownloader::kMaxText) + " characters each)");
    // The same connection settings as the window's automatic download.
    if (!downloader.Start(1, ReadCurrencySetting("UseConMgr", 1), ReadCurrencySetting("UseProxy", 2)))
        return Failure("can't start the download");
    const int status = target.WaitForOutcome();
    downloader.Wait();
    const std::string written = ExistingSpelling(path);
    // A source that failed keeps the rates it gave before; the others' stand.
    for (const CCurrencyDownloader::SSourceOutcome& outcome : downloader.Outcomes())
        if (outcome.status != CCurrencyDownloader::kStatusDone && status == CCurrencyDownloader::kStatusDone)
            std::fprintf(stderr, "tallix: %s; its old rates stay\n", FailureText(outcome, written).c_str());
    if (status != CCurrencyDownloader::kStatusDone)
        return Failure(FailureText(downloader.Outcomes().front(), written) + "; the old rates stay");
    if (!StoreRatesDate()) std::fprintf(stderr, "tallix: the date of this download could not be saved in the settings\n");
    if (quiet) return 0;
    CCurrencyTable table(written);
    table.Load();
    for (const CCurrencyDownloader::SSourceOutcome& outcome : downloader.Outcomes()) {
        if (outcome.status != CCurrencyDownloader::kStatusDone) continue;
        const std::string dated = SourceDate(written, outcome.url);
        if (outcome.unchanged)
            std::printf("Rates unchanged at %s%s\n", outcome.url.c_str(), dated.c_str());
        else
            std::printf("Rates updated from %s (%ld bytes) into %s%s\n", outcome.url.c_str(), outcome.received,
                        written.c_str(), dated.c_str());
    }
    return 0;
}
