#pragma once
// The currency converter page: a currency list beside each slot, the
// calculator's value written as money in the from currency and converted into
// the other. It also keeps the rates fresh: while AutoDownload is on it starts
// a rates download at start-up and at every focus gain of the window until one
// succeeds in this run, then reloads the table. The page shows the date of
// the rates, and says so when a download failed (the old rates stay).
// Choices live in the settings (Currency: From, To, FromSelect).

#include <string>

#include "conversions/CurrencyTable.h"
#include "ui/converters/SlotPage.h"

class CCurrencyConverterPage : public CTwoSlotPage {
public:
    enum : unsigned { kMsgTopCurrency = 1025, kMsgBottomCurrency = 1026 };

    // table: the loaded currency table (the program's one); it must outlive the page.
    CCurrencyConverterPage(QWidget* parent, CSkinResources& resources, CPageBand* band,
                           CCalcController& calculator, CCurrencyTable& table);
    // Stops hearing from a download still running.
    ~CCurrencyConverterPage() override;

    // Reads the skin, makes the lists and fills them; stored currencies
    // outside the table fall back to 0 and 1.
    void Setup(const std::vector<GroupMenuItem>* items, IMessageTarget* target, uint32_t backgroundColor) override;
    int FromIsTop() const override;
    CSkinListButton* CurrencyList(int top) const { return top ? m_top : m_bottom; }
    // A currency chosen in the top (1) or bottom (0) list.
    void ChooseCurrency(int top, int index);

    // Starts the automatic rates download when AutoDownload is on, none has
    // succeeded in this run and none today; 1 when one was started.
    int StartAutomaticDownload();
    // Whether a download started by a currency page succeeded in this run.
    static int DownloadSucceeded();
    // Forgets that success (a new run; tests).
    static void ForgetDownloadSuccess();
    // The status lines: the date of the last download, the date the rates
    // converted are of (the older of the two, when they name it), and the failure of the last
    // download, if it failed (UTF-8; empty when there is nothing to say).
    // The failure takes the place of the rates' date.
    std::string RatesDateText() const;
    std::string ReferenceDateText() const;
    std::string FailureText() const;

protected:
    void OnMessage(unsigned msg, intptr_t wParam, intptr_t lParam) override;
    void PaintContent(CSkinImage& dc) override;
    // The slots, then the status lines as read-outs.
    void AddControls(std::vector<PageControl>& controls) const override;
    SlotValue FromValue() const override;
    SlotValue ToValue() const override;
    void Reverse(int top) override;
    // A slot holds its left and top edges, not its right and bottom ones.
    int EdgesInside() const override { return 0; }

private:
    struct CurrencyTexts {
        std::string code, name, symbol;  // Windows-1252
    };
    void CopyTexts();
    void DownloadFinished(intptr_t status);
    SlotValue Money(const std::string& plain, const CurrencyTexts& currency) const;

    CCurrencyTable& m_table;
    CSkinListButton* m_top = nullptr;
    CSkinListButton* m_bottom = nullptr;
    CurrencyTexts m_from, m_to;
    int m_attached = 0;  // the downloader knows this page
    int m_failed = 0;
};
