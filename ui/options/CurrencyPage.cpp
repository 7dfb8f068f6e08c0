#include "ui/options/CurrencyPage.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "conversions/CurrencyTable.h"
#include "platform/TextCodec.h"
#include "settings/SettingsStore.h"
#include "skins/SkinResources.h"
#include "strings/StringIds.h"
#include "ui/common/LocalDate.h"
#include "ui/common/MessageReceiver.h"
#include "ui/common/ResourceText.h"
#include "ui/options/SkinReportList.h"
#include "ui/pages/SkinPage.h"

CCurrencyPage::CCurrencyPage(QWidget* parent, OptionsContext& context)
    : QWidget(parent),
      m_messages(new CMessageReceiver(this, [this](unsigned msg, intptr_t w, intptr_t l) {
          if (msg != kMsgDownload) return;
          m_update->OnDownloadMessage(w, l);
          Refresh();
          ArmTimer();
      })),
      m_update(std::make_unique<CCurrencyUpdate>(m_messages)),
      m_auto(new QCheckBox(ResourceText(StringId::CurrencyAutoUpdate))),
      m_updateNow(new QPushButton(ResourceText(StringId::CurrencyUpdateNow))),
      m_progress(new QProgressBar),
      m_status(new QLabel(ResourceText(StringId::CurrencyLastUpdated))),
      m_rates(new CSkinReportList(this, DoubledWidgets(context.resources.DoubleScale()), false))
{
    m_auto->setObjectName("autoUpdate");
    m_updateNow->setObjectName("updateNow");
    m_status->setObjectName("status");
    m_rates->setObjectName("rates");
    m_rates->setAccessibleName(ResourceText(StringId::TabCurrency));
    m_auto->setChecked(CSettingsStore::Instance().AutoDownload() != 0);
    connect(m_auto, &QCheckBox::clicked, this, [] {
        CSettingsStore& settings = CSettingsStore::Instance();
        settings.SetAutoDownload(settings.AutoDownload() ? 0 : 1);
    });
    connect(m_updateNow, &QPushButton::clicked, this, [this] {
        m_update->UpdateNow();
        Refresh();
        ArmTimer();
    });
    m_progress->setRange(0, 100);
    m_progress->setTextVisible(false);
    m_rates->AddColumn(ResourceText(StringId::CurrencySymbol), 60);
    m_rates->AddColumn(ResourceText(StringId::CurrencyExchangeRate), 150);
    m_rates->setMinimumWidth(m_rates->ColumnsWidth() + 2 * m_rates->frameWidth() +
                             m_rates->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    m_rates->setMinimumHeight(6 * m_rates->RowHeight());

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_rates, 1);
    auto* row = new QHBoxLayout;
    row->addWidget(m_auto);
    row->addStretch(1);
    row->addWidget(m_updateNow);
    layout->addLayout(row);
    layout->addWidget(m_progress);
    layout->addWidget(m_status);

    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { AdvanceTime(m_clock.elapsed()); });
    m_update->SetDateFormatter(&LocalShortDate);
    m_update->Init();
    FillRates();
    Refresh();
}

CCurrencyPage::~CCurrencyPage() = default;

IMessageTarget* CCurrencyPage::Window() const { return m_messages; }

void CCurrencyPage::AdvanceTime(int64_t ms)
{
    m_update->Advance(ms);
    Refresh();
    ArmTimer();
}

void CCurrencyPage::ArmTimer()
{
    const int64_t due = m_update->NextDueMs();
    m_clock.restart();
    if (due < 0) m_timer.stop();
    else m_timer.start(static_cast<int>(due));
}

void CCurrencyPage::FillRates()
{
    m_rates->Clear();
    CCurrencyTable* table = CCurrencyTable::Instance();
    for (int i = 0; i < table->Count(); ++i) {
        std::string code, name, symbol, rate;
        table->GetEntry(i, code, name, symbol);
        table->GetRateText(i, rate);
        m_rates->InsertRow(i, {QString::fromStdString(Cp1252ToUtf8(symbol)), QString::fromStdString(rate)}, i);
        // Many currencies share a symbol: the name tells them apart.
        m_rates->SetToolTip(i, QString::fromStdString(Cp1252ToUtf8(name + " (" + code + ")")));
    }
    m_ratesVersion = m_update->RatesVersion();
}

void CCurrencyPage::Refresh()
{
    m_status->setText(QString::fromStdString(m_update->StatusText()));
    m_updateNow->setEnabled(m_update->ButtonEnabled() != 0);
    m_progress->setValue(m_update->Progress());
    if (m_ratesVersion != m_update->RatesVersion()) FillRates();
}
