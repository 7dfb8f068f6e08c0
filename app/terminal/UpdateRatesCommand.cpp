// tallix --update-rates [--quiet]: downloads the rates now, in the foreground,
// and says what happened. The source is $TALLIX_RATES_URL when set, else the
// euro reference rates of the day.
#include "app/terminal/RatesFile.h"
#include "app/terminal/TerminalRequest.h"
#include "conversions/CurrencyTable.h"
#include "datafiles/CurrencyDownloader.h"
#include "datafiles/UserData.h"
#include "platform/WindowMessage.h"

#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>

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

// What went wrong, in words that point at the cause.
std::string FailureText(const CCurrencyDownloader& downloader, const std::string& url, const std::string& path)
{
    switch (downloader.LastFailure()) {
    case CCurrencyDownloader::kFailTimeout: return "the rates server at " + url + " stopped answering (time-out)";
    case CCurrencyDownloader::kFailHttpStatus:
        return "the rates server answered HTTP status " + std::to_string(downloader.HttpStatus()) + " for " + url;
    case CCurrencyDownloader::kFailTooLarge:
        return "the answer from " + url + " is larger than " + std::to_string(CCurrencyDownloader::kMaxRatesBytes) +
               " bytes, too large for a rates file";
    case CCurrencyDownloader::kFailNotRates:
        return "the answer from " + url + " is no usable rates file (" +
               (downloader.RefusalReason().empty() ? std::string("no [Conversions] section with rates")
                                                   : downloader.RefusalReason()) + ")";
    case CCurrencyDownloader::kFailWrite: return "the rates file " + path + " could not be written";
    default: return "no connection to the rates server at " + url;
    }
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
    if (status != CCurrencyDownloader::kStatusDone)
        return Failure(FailureText(downloader, url, path) + "; the old rates stay");
    if (!StoreRatesDate()) std::fprintf(stderr, "tallix: the date of this download could not be saved in the settings\n");
    if (quiet) return 0;
    CCurrencyTable table(path);
    table.Load();
    const std::string dated = table.ReferenceDate().empty() ? "" : ", rates of " + table.ReferenceDate();
    if (downloader.RatesUnchanged())
        std::printf("Rates unchanged at %s since %s was written%s\n", url.c_str(), path.c_str(), dated.c_str());
    else
        std::printf("Rates updated from %s (%ld bytes) into %s%s\n", url.c_str(), downloader.ReceivedLength(),
                    path.c_str(), dated.c_str());
    return 0;
}
