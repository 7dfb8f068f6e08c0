#include "ui/converters/CurrencyConverterPage.h"

#include <QDate>

#include "calculator/NumberText.h"
#include "datafiles/CurrencyDownloader.h"
#include "platform/TextCodec.h"
#include "settings/CurrencyUpdate.h"
#include "settings/SettingsStore.h"
#include "skins/SkinResources.h"
#include "skins/SkinText.h"
#include "strings/Language.h"
#include "strings/StringIds.h"
#include "ui/common/LocalDate.h"
#include "ui/pages/SkinListButton.h"

namespace {
int g_downloadSucceeded = 0;
// Money is written into 12 characters (14 with a regional format's extra
// separators): what the value field holds.
const int kMoneyWidth = 12;

// A text of the string table with a date, in the short format, for its %s;
// empty for an invalid date.
std::string WithDate(int id, const char* english, const QDate& date)
{
    if (!date.isValid()) return {};
    const std::string day = LocalShortDate(date.day(), date.month(), date.year());
    std::string format = LocalizedText(id, english);
    const size_t at = format.find("%s");
    return at == std::string::npos ? format + " " + day : format.replace(at, 2, day);
}

SettingsDate Today()
{
    const QDate today = QDate::currentDate();
    return {static_cast<uint16_t>(today.day()), static_cast<uint16_t>(today.month()),
            static_cast<uint16_t>(today.year())};
}

}  // namespace

CCurrencyConverterPage::CCurrencyConverterPage(QWidget* parent, CSkinResources& resources, CPageBand* band,
                                               CCalcController& calculator, CCurrencyTable& table)
    : CTwoSlotPage(parent, resources, band, "Currency", resources.CurrencyBackground(), calculator), m_table(table)
{
}

CCurrencyConverterPage::~CCurrencyConverterPage()
{
    // The worker posts no more; what it posted is dropped with the page.
    if (m_attached) CCurrencyDownloader::Instance()->Detach(Messages());
}

int CCurrencyConverterPage::DownloadSucceeded() { return g_downloadSucceeded; }

void CCurrencyConverterPage::ForgetDownloadSuccess() { g_downloadSucceeded = 0; }

int CCurrencyConverterPage::FromIsTop() const { return CSettingsStore::Instance().CurrencyFromSelect() ? 1 : 0; }

void CCurrencyConverterPage::Setup(const std::vector<GroupMenuItem>* items, IMessageTarget* target,
                                   uint32_t backgroundColor)
{
    CTwoSlotPage::Setup(items, target, backgroundColor);
    ReadSlotStyle();
    const int compact = CompactScreen();
    if ((m_bottom = AddList("BtnToLocation", "BtnTo", "ConvertToButton", kMsgBottomCurrency, compact ? 75 : 150, StringId::LabelTo)))
        m_top = AddList("BtnFromLocation", "BtnFrom", "ConvertFromButton", kMsgTopCurrency, compact ? 120 : 150, StringId::LabelFrom);

    CSettingsStore& settings = CSettingsStore::Instance();
    const int count = CCurrencyTable::kCurrencies;
    if (settings.CurrencyFrom() < 0 || settings.CurrencyFrom() >= count || settings.CurrencyTo() < 0 ||
        settings.CurrencyTo() >= count) {
        settings.SetCurrencyFrom(0);
        settings.SetCurrencyTo(1);
    }
    if (settings.CurrencyFromSelect() != 0 && settings.CurrencyFromSelect() != 1) settings.SetCurrencyFromSelect(1);

    for (CSkinListButton* list : {m_top, m_bottom}) {
        if (!list) continue;
        for (int i = 0; i < count; ++i) {
            std::string code, name, symbol;
            m_table.GetEntry(i, code, name, symbol);
            list->AddEntry(i, Cp1252ToUtf8("(" + code + ") " + name));
        }
    }
    const int from = settings.CurrencyFrom(), to = settings.CurrencyTo();
    SelectSlotEntries(m_top, m_bottom, from, to);
    m_table.SetFrom(from);
    m_table.SetTo(to);
    CopyTexts();
}

void CCurrencyConverterPage::CopyTexts()
{
    m_table.GetEntry(m_table.From(), m_from.code, m_from.name, m_from.symbol);
    m_table.GetEntry(m_table.To(), m_to.code, m_to.name, m_to.symbol);
}

void CCurrencyConverterPage::ChooseCurrency(int top, int index)
{
    if (index < 0 || index >= CCurrencyTable::kCurrencies) return;
    CSettingsStore& settings = CSettingsStore::Instance();
    int from = m_table.From(), to = m_table.To();
    ChooseSlotEntry(top == FromIsTop(), index, from, to);
    m_table.SetFrom(from);
    m_table.SetTo(to);
    settings.SetCurrencyFrom(from);
    settings.SetCurrencyTo(to);
    SelectSlotEntries(m_top, m_bottom, from, to);
    CopyTexts();
    update();
}

void CCurrencyConverterPage::Reverse(int top)
{
    const std::string plain = PlainValue();
    m_table.SetAmount(plain.c_str());
    std::string result;
    m_table.GetResult(result, 0);
    // Without a result (no rates) the calculator keeps its value.
    if (!result.empty()) SetCalculatorValue(result);
    CSettingsStore& settings = CSettingsStore::Instance();
    const int from = m_table.From(), to = m_table.To();
    m_table.SetFrom(to);
    m_table.SetTo(from);
    settings.SetCurrencyFrom(to);
    settings.SetCurrencyTo(from);
    settings.SetCurrencyFromSelect(top);
    CopyTexts();
}

CTwoSlotPage::SlotValue CCurrencyConverterPage::Money(const std::string& plain, const CurrencyTexts& currency) const
{
    SlotValue v;
    std::string full;
    CNumberText::GetInstance()->FormatCurrency(plain, currency.symbol, full, v.mantissa, v.exponent,
                                               CSettingsStore::Instance().RegionalCurrency(), kMoneyWidth);
    v.label = Cp1252ToUtf8(currency.code);
    return v;
}

CTwoSlotPage::SlotValue CCurrencyConverterPage::FromValue() const { return Money(PlainValue(), m_from); }

CTwoSlotPage::SlotValue CCurrencyConverterPage::ToValue() const
{
    m_table.SetAmount(PlainValue().c_str());
    std::string result;
    m_table.GetResult(result, 0);
    // No rates, no result: the slot shows only its code.
    if (result.empty()) return {"", "", Cp1252ToUtf8(m_to.code), ""};
    return Money(result, m_to);
}

int CCurrencyConverterPage::StartAutomaticDownload()
{
    const CSettingsStore& settings = CSettingsStore::Instance();
    // Once a download has succeeded, the source is asked at most once a day.
    if (!settings.AutoDownload() || g_downloadSucceeded || !ShouldDownloadAutomatically(settings.DownloadDate(), Today()))
        return 0;
    CCurrencyDownloader* downloader = CCurrencyDownloader::Instance();
    const std::string url = CCurrencyDownloader::DownloadUrl();
    // Refused while a download (this page's or the options page's) runs.
    if (!downloader->Prepare(url.c_str(), Messages(), m_table.RatesPath().c_str(), m_table.ShippedPath().c_str())) return 0;
    m_attached = 1;
    return downloader->Start(settings.UseWireless(), settings.UseConMgr(), settings.UseProxy());
}

void CCurrencyConverterPage::OnMessage(unsigned msg, intptr_t wParam, intptr_t lParam)
{
    switch (msg) {
    case kMsgTopCurrency: ChooseCurrency(1, static_cast<int>(wParam)); break;
    case kMsgBottomCurrency: ChooseCurrency(0, static_cast<int>(wParam)); break;
    case kMsgDownload:
        // Progress (lParam 0) says nothing the page shows.
        if (lParam != 0) DownloadFinished(lParam);
        break;
    default: break;
    }
}

void CCurrencyConverterPage::DownloadFinished(intptr_t status)
{
    m_failed = status != CCurrencyDownloader::kStatusDone;
    if (!m_failed) {
        CSettingsStore& settings = CSettingsStore::Instance();
        int conMgr = 0, proxy = 0;
        CCurrencyDownloader::Instance()->GetConnectionSettings(conMgr, proxy);
        settings.SetUseConMgr(conMgr);
        settings.SetUseProxy(proxy);
        m_table.Load();
        CopyTexts();
        settings.SetDownloadDate(Today());
        g_downloadSucceeded = 1;
    }
    update();
}

std::string CCurrencyConverterPage::RatesDateText() const
{
    const SettingsDate& d = CSettingsStore::Instance().DownloadDate();
    // The settings hold this day until the first download: no update was made.
    if (d.year == 2004 && d.month == 6 && d.day == 1) return {};
    return WithDate(StringId::CurrencyLastUpdate, "Last Update: %s", QDate(d.year, d.month, d.day));
}

std::string CCurrencyConverterPage::ReferenceDateText() const
{
    // A built-in figure is no rate of any day, and says so.
    for (const int index : {m_table.From(), m_table.To()})
        if (m_table.IsBuiltIn(index))
            return (index == m_table.From() ? m_from.code : m_to.code) + ": " +
                   LocalizedText(StringId::CurrencyBuiltInRate, "Built-in rate, not a market rate");
    // The older of the two rates converted: a rate the last download did not
    // bring keeps its own date, which no newer one may hide.
    std::string date;
    for (const int index : {m_table.From(), m_table.To()}) {
        const std::string& own = m_table.RateDate(index);
        if (!own.empty() && (date.empty() || own < date)) date = own;
    }
    if (date.empty()) return {};
    std::string text = WithDate(StringId::CurrencyRatesOf, "Rates of %s",
                                QDate::fromString(QString::fromStdString(date), Qt::ISODate));
    SRatesAge age;
    if (!StaleRatesAge(date, QDate::currentDate().toString(Qt::ISODate).toStdString(), age)) return text;
    static const int kIds[] = {StringId::CurrencyDaysOld, StringId::CurrencyMonthsOld, StringId::CurrencyYearsOld};
    static const char* const kEnglish[] = {"%s days old", "%s months old", "%s years old"};
    std::string old = LocalizedText(kIds[age.unit], kEnglish[age.unit]);
    const size_t at = old.find("%s");
    if (at != std::string::npos) old.replace(at, 2, std::to_string(age.count));
    return text + ", " + old;
}

std::string CCurrencyConverterPage::FailureText() const
{
    return m_failed ? DownloadFailureText(CCurrencyDownloader::Instance()->LastFailure()) : std::string();
}

void CCurrencyConverterPage::PaintContent(CSkinImage& dc)
{
    PaintSlots(dc);
    // The status lines sit in the top panel, right of the menu button.
    // The second line: why the last download failed, else the date of the rates.
    const std::string date = RatesDateText(), failure = FailureText();
    const std::string second = failure.empty() ? ReferenceDateText() : failure;
    const int room = Scaled(231) - MenuButtonRight() - Scaled(4);
    const auto line = [&](const std::string& text, int y) {
        const int height = FitTextHeight(m_text.font, Scaled(12), 400, text, room);
        DrawSkinTextUtf8(Scaled(231), Scaled(y + 12) - height, height, 400, m_text.font, text, dc, m_text.color,
                         kAlignRight);
    };
    line(date, second.empty() ? 21 : 12);
    if (!second.empty()) line(second, 28);
}

void CCurrencyConverterPage::AddControls(std::vector<PageControl>& controls) const
{
    CTwoSlotPage::AddControls(controls);
    const std::string date = RatesDateText(), failure = FailureText();
    const std::string second = failure.empty() ? ReferenceDateText() : failure;
    const int left = MenuButtonRight(), right = Scaled(231);
    if (!date.empty())
        controls.push_back({{left, Scaled(second.empty() ? 21 : 12), right, Scaled(second.empty() ? 33 : 24)}, date,
                            {}, EAccessRole::Label});
    if (!second.empty()) controls.push_back({{left, Scaled(28), right, Scaled(40)}, second, {}, EAccessRole::Label});
}
