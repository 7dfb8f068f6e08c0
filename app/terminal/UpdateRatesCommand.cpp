// tallix --update-rates: downloads the rates file now, in the foreground, and
// says what happened. The server is $TALLIX_RATES_URL when set.
#include "conversions/UnitNames.h"
#include "datafiles/CurrencyDownloader.h"
#include "platform/Registry.h"
#include "platform/WindowMessage.h"

#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace {

const char kUpdateUsage[] = "usage: tallix --update-rates\n";
const char kCurrencyKey[] = "SOFTWARE\\Fernhill\\Tallix\\Currency";

// Stands in for the window: prints progress and waits for the outcome.
class CConsoleTarget : public IMessageTarget {
public:
    // The download posts; handled at once, there being no window to queue for.
    void PostMessage(unsigned msg, intptr_t wParam, intptr_t lParam) override { SendMessage(msg, wParam, lParam); }
    intptr_t SendMessage(unsigned msg, intptr_t wParam, intptr_t lParam) override
    {
        if (msg != kMsgDownload) return 0;
        std::lock_guard<std::mutex> lock(mutex_);
        if (lParam == 0) {
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
    std::mutex mutex_;
    std::condition_variable done_;
    int status_ = 0;
};

int ReadSetting(const char* name, int fallback)
{
    int32_t value = fallback;
    return TheRegistry().ReadNumber(kCurrencyKey, name, value) ? value : fallback;
}

} // namespace

int RunUpdateRatesCommand(int argc, char** argv)
{
    if (argc != 2 || std::strcmp(argv[1], "--update-rates") != 0) {
        std::fputs(kUpdateUsage, stderr);
        return 2;
    }
    std::string url = CCurrencyDownloader::DownloadUrl();
    std::string path = ProgramFolderOfExecutable() + "Currency/Currency.ini";
    CConsoleTarget target;
    CCurrencyDownloader downloader;
    if (!downloader.Prepare(url.c_str(), &target, path.c_str())) {
        std::fprintf(stderr, "tallix: can't download from \"%s\" to \"%s\"\n", url.c_str(), path.c_str());
        return 1;
    }
    // The same connection settings as the window's automatic download.
    if (!downloader.Start(1, ReadSetting("UseConMgr", 1), ReadSetting("UseProxy", 2))) {
        std::fprintf(stderr, "tallix: can't start the download\n");
        return 1;
    }
    int status = target.WaitForOutcome();
    downloader.Wait();
    if (status == CCurrencyDownloader::kStatusDone) {
        std::printf("Rates updated from %s (%ld bytes) into %s\n", url.c_str(), downloader.ReceivedLength(), path.c_str());
        return 0;
    }
    if (status == CCurrencyDownloader::kStatusWriteFailed)
        std::fprintf(stderr, "tallix: the rates file %s could not be written; the old rates stay\n", path.c_str());
    else if (!downloader.RefusalReason().empty())
        std::fprintf(stderr, "tallix: the answer from %s is no usable rates file (%s); the old rates stay\n", url.c_str(),
                     downloader.RefusalReason().c_str());
    else
        std::fprintf(stderr, "tallix: Unable to connect to the Internet (no usable rates file from %s); the old rates stay\n", url.c_str());
    return 1;
}
