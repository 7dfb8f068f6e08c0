#include "settings/CurrencyUpdate.h"

#include <ctime>

#include "conversions/CurrencyTable.h"
#include "datafiles/CurrencyDownloader.h"
#include "platform/RegionalFormat.h"
#include "settings/SettingsStore.h"
#include "strings/Language.h"
#include "strings/StringIds.h"

namespace {

int FailureStringId(int failure)
{
    switch (failure) {
    case CCurrencyDownloader::kFailTimeout: return StringId::RatesTimedOut;
    case CCurrencyDownloader::kFailHttpStatus: return StringId::RatesServerError;
    case CCurrencyDownloader::kFailTooLarge:
    case CCurrencyDownloader::kFailNotRates: return StringId::RatesNotRatesFile;
    case CCurrencyDownloader::kFailWrite: return StringId::RatesNotSaved;
    default: return StringId::CurrencyNoConnection;
    }
}

} // namespace

std::string DownloadFailureText(int failure)
{
    std::string text;
    LoadResString(LocalizedId(FailureStringId(failure)), text);
    return text;
}

CCurrencyUpdate::CCurrencyUpdate(IMessageTarget* window) : m_window(window) {}

CCurrencyUpdate::~CCurrencyUpdate() { CCurrencyDownloader::Instance()->Detach(m_window); }

void CCurrencyUpdate::Init()
{
    ShowDate();
    m_progress = 0;
}

int CCurrencyUpdate::FormatDate(int day, int month, int year, std::string& out) const
{
    if (!m_dateFormatter) return FormatShortDate(day, month, year, m_dateLocale.c_str(), out);
    out = m_dateFormatter(day, month, year);
    return !out.empty();
}

void CCurrencyUpdate::ShowDate()
{
    const SettingsDate& date = CSettingsStore::Instance().DownloadDate();
    std::string when;
    FormatDate(date.day, date.month, date.year, when);
    std::string text = "Last Update: %s";
    LoadResString(LocalizedId(StringId::CurrencyLastUpdate), text);
    const size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, when);
    // The date the rates are valid for, when they name it.
    int day = 0, month = 0, year = 0;
    if (CCurrencyTable::Instance()->GetReferenceDate(day, month, year) &&
        FormatDate(day, month, year, when)) {
        std::string rates = "Rates of %s";
        LoadResString(LocalizedId(StringId::CurrencyRatesOf), rates);
        const size_t slot = rates.find("%s");
        if (slot != std::string::npos) rates.replace(slot, 2, when);
        text += " \xE2\x80\x93 " + rates; // an en dash
    }
    m_status = text;
}

void CCurrencyUpdate::ShowText(int stringId) { LoadResString(LocalizedId(stringId), m_status); }

int CCurrencyUpdate::UpdateNow()
{
    m_buttonEnabled = 0;
    ShowText(StringId::CurrencyDownloading);
    CSettingsStore& settings = CSettingsStore::Instance();
    CCurrencyDownloader* downloader = CCurrencyDownloader::Instance();
    const std::string url = CCurrencyDownloader::DownloadUrl();
    const CCurrencyTable& table = *CCurrencyTable::Instance();
    const std::string& path = table.RatesPath();
    // A refused Prepare (another download still running) must not start the
    // worker with what an earlier starter prepared.
    if (downloader->Prepare(url.c_str(), m_window, path.c_str(), table.ShippedPath().c_str()) &&
        downloader->Start(1, settings.UseConMgr(), settings.UseProxy())) {
        m_watchdogDue = kWatchdogMs;
        return 1;
    }
    ShowText(StringId::CurrencyNoConnection);
    m_resultDue = kResultMs;
    m_buttonEnabled = 1;
    return 0;
}

void CCurrencyUpdate::OnDownloadMessage(intptr_t progress, intptr_t status)
{
    if (status <= 0) {
        m_progress = static_cast<int>(progress);
        return;
    }
    m_watchdogDue = -1;
    CSettingsStore& settings = CSettingsStore::Instance();
    int conMgr = settings.UseConMgr(), proxy = settings.UseProxy();
    CCurrencyDownloader::Instance()->GetConnectionSettings(conMgr, proxy);
    settings.SetUseConMgr(conMgr);
    settings.SetUseProxy(proxy);
    if (status == CCurrencyDownloader::kStatusDone) {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        settings.SetDownloadDate({static_cast<uint16_t>(local.tm_mday), static_cast<uint16_t>(local.tm_mon + 1),
                                  static_cast<uint16_t>(local.tm_year + 1900)});
        CCurrencyTable::Instance()->Load();
        settings.SetDownloadSucceeded(1);
        ++m_ratesVersion;
        m_progress = 100;
    } else if (status == CCurrencyDownloader::kStatusNoConnection ||
               status == CCurrencyDownloader::kStatusWriteFailed) {
        m_status = DownloadFailureText(CCurrencyDownloader::Instance()->LastFailure());
    }
    m_resultDue = kResultMs;
}

void CCurrencyUpdate::OnResultTimer()
{
    m_buttonEnabled = 1;
    m_resultDue = -1;
    ShowDate();
    m_progress = 0;
}

void CCurrencyUpdate::OnWatchdog()
{
    m_buttonEnabled = 1;
    m_watchdogDue = -1;
    ShowText(StringId::RatesTimedOut);
    m_resultDue = kResultMs;
}

int64_t CCurrencyUpdate::NextDueMs() const
{
    if (m_resultDue < 0) return m_watchdogDue;
    if (m_watchdogDue < 0) return m_resultDue;
    return m_resultDue < m_watchdogDue ? m_resultDue : m_watchdogDue;
}

void CCurrencyUpdate::Advance(int64_t elapsedMs)
{
    // A handler may start the other timer, which then counts from its firing.
    for (int64_t next = NextDueMs(); next >= 0 && next <= elapsedMs; next = NextDueMs()) {
        elapsedMs -= next;
        const bool watchdog = m_watchdogDue == next;
        if (m_resultDue >= 0) m_resultDue -= next;
        if (m_watchdogDue >= 0) m_watchdogDue -= next;
        if (watchdog) OnWatchdog();
        else OnResultTimer();
    }
    if (m_resultDue >= 0) m_resultDue -= elapsedMs;
    if (m_watchdogDue >= 0) m_watchdogDue -= elapsedMs;
}
