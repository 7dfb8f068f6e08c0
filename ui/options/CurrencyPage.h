#pragma once
// The Currency page: the rates of every currency, Auto Update, and Update Now
// with its progress bar and status line. Its timers run on the page's clock;
// AdvanceTime steps them directly.
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <memory>

#include "settings/CurrencyUpdate.h"
#include "ui/options/OptionsDialog.h"

class CMessageReceiver;
class CSkinReportList;
class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;

class CCurrencyPage : public QWidget {
public:
    CCurrencyPage(QWidget* parent, OptionsContext& context);
    ~CCurrencyPage() override;

    CCurrencyUpdate& Update() { return *m_update; }
    CSkinReportList* Rates() const { return m_rates; }
    // The download's messages arrive here.
    IMessageTarget* Window() const;
    // Lets ms milliseconds pass on the page's timers.
    void AdvanceTime(int64_t ms);

private:
    void FillRates();
    void Refresh();
    void ArmTimer();

    CMessageReceiver* m_messages;
    std::unique_ptr<CCurrencyUpdate> m_update;
    QCheckBox* m_auto;
    QPushButton* m_updateNow;
    QProgressBar* m_progress;
    QLabel* m_status;
    CSkinReportList* m_rates;
    int m_ratesVersion = 0;
    QTimer m_timer;
    QElapsedTimer m_clock;
};
