#include "ui/options/GeneralPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "calculator/CalcController.h"
#include "calculator/CalcMode.h"
#include "platform/MessageBox.h"
#include "settings/SettingsStore.h"
#include "skins/SkinText.h"
#include "strings/Language.h"
#include "strings/StringIds.h"
#include "ui/common/ChoiceSpeech.h"
#include "ui/common/ResourceText.h"
#include "ui/options/OptionPages.h"
#include "ui/options/OptionsHost.h"

namespace {
// Radio buttons in the order Normal, Slow, Fast, Off and the value of each.
const int kScrollValues[] = {0, 2, 1, 3};

QCheckBox* AddCheck(QVBoxLayout* layout, int textId, int checked, std::function<void(int)> apply)
{
    auto* box = new QCheckBox(ResourceText(textId));
    box->setChecked(checked != 0);
    QObject::connect(box, &QCheckBox::toggled, box, [apply](bool on) { apply(on ? 1 : 0); });
    layout->addWidget(box);
    return box;
}
}  // namespace

CGeneralPage::CGeneralPage(QWidget* parent, OptionsContext& context)
    : QWidget(parent), m_context(context), m_language(new QComboBox(this))
{
    CSettingsStore& settings = CSettingsStore::Instance();
    auto* layout = new QVBoxLayout(this);

    auto* languageRow = new QHBoxLayout;
    auto* languageLabel = new QLabel(ResourceText(StringId::GeneralLanguage));
    languageLabel->setBuddy(m_language);
    languageRow->addWidget(languageLabel);
    languageRow->addWidget(m_language, 1);
    layout->addLayout(languageRow);
    for (int id : {308, 309, 310, 311, 312, 399, 400}) m_language->addItem(ResourceText(id));
    m_language->addItem("Trd. Chinese");
    m_language->setObjectName("language");
    m_language->setCurrentIndex(ListPositionOfLanguage(LanguageId()));
    connect(m_language, &QComboBox::currentIndexChanged, this, [this](int position) {
        if (m_stepping)
            m_pendingLanguage = position;
        else
            ChooseLanguage(position);
    });
    m_language->installEventFilter(this);
    SpeakSteppedChoices(m_language);

    auto* download = new QGroupBox(ResourceText(StringId::GeneralCurrencyDownload));
    auto* downloadLayout = new QVBoxLayout(download);
    // Proxies come from the environment here; the button stays for its place only.
    auto* proxy = new QPushButton(ResourceText(StringId::GeneralProxyServer));
    proxy->setEnabled(false);
    downloadLayout->addWidget(proxy);
    layout->addWidget(download);

    const int texts[] = {StringId::ScrollNormal, StringId::ScrollSlow, StringId::ScrollFast, StringId::ScrollOff};
    std::vector<QString> labels;
    for (int id : texts) labels.push_back(ResourceText(id));
    layout->addWidget(MakeRadioGroup(ResourceText(StringId::GeneralScrolling), labels, 2, m_scrolling));
    for (size_t i = 0; i < m_scrolling.size(); ++i) {
        const int value = kScrollValues[i];
        m_scrolling[i]->setObjectName(QString("scrolling%1").arg(value));
        m_scrolling[i]->setChecked(settings.Scrolling() == value);
        connect(m_scrolling[i], &QRadioButton::clicked, this, [value] { CSettingsStore::Instance().SetScrolling(value); });
    }

    AddCheck(layout, StringId::GeneralRegionalCurrency, settings.RegionalCurrency(),
             [](int on) { CSettingsStore::Instance().SetRegionalCurrency(on); })->setObjectName("regionalCurrency");
    AddCheck(layout, StringId::GeneralClearType, settings.ClearType(), [](int on) {
        CSettingsStore::Instance().SetClearType(on);
        SetSkinTextClearType(on);
    })->setObjectName("clearType");
    AddCheck(layout, StringId::GeneralPlaySounds, settings.PlaySounds(),
             [](int on) { CSettingsStore::Instance().SetPlaySounds(on); })->setObjectName("playSounds");
    AddCheck(layout, StringId::GeneralVGA, context.window.DoubleScale(), [this](int on) {
        m_context.window.SetDoubleScale(on);
        m_context.flags.skinChanged = 1;
    })->setObjectName("vga");

    auto* buttons = new QHBoxLayout;
    auto* about = new QPushButton(ResourceText(StringId::GeneralAbout));
    auto* memory = new QPushButton(ResourceText(StringId::GeneralViewMemory));
    connect(about, &QPushButton::clicked, this, [this] { ShowAbout(); });
    connect(memory, &QPushButton::clicked, this, [this] { ShowMemory(); });
    buttons->addWidget(about);
    buttons->addWidget(memory);
    layout->addLayout(buttons);
    layout->addStretch(1);
}

bool CGeneralPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_language) return QWidget::eventFilter(watched, event);
    const auto commit = [this] {
        if (m_pendingLanguage < 0) return;
        const int position = m_pendingLanguage;
        m_pendingLanguage = -1;
        ChooseLanguage(position);
    };
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) commit();
        m_stepping = key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown ||
                     key == Qt::Key_Home || key == Qt::Key_End;
    } else if (event->type() == QEvent::KeyRelease) {
        m_stepping = false;
    } else if (event->type() == QEvent::FocusOut) {
        m_stepping = false;
        commit();
    }
    return QWidget::eventFilter(watched, event);
}

void CGeneralPage::ChooseLanguage(int position)
{
    if (!ChooseLanguageAt(position, m_context.registry)) return;
    // Said in the language just chosen.
    std::string text;
    LoadResString(LocalizedId(StringId::RestartNeeded), text);
    MessageBoxService().Show(text, "", MessageKind::Information, MessageButtons::Ok);
}

std::string CGeneralPage::MemoryText() const
{
    CCalcController& calc = m_context.window.Calculator();
    std::string text;
    for (int n = 1; n <= kMemoryRegisters; ++n) {
        std::string value = calc.MemoryText(n - 1);
        value = value.empty() ? "0" : ConvertBase(value, 10, calc.CalcBase());
        if (n > 1) text += "\n";
        text += "Memory" + std::to_string(n) + ": " + value;
    }
    return text;
}

void CGeneralPage::ShowMemory()
{
    std::string caption;
    LoadResString(LocalizedId(StringId::StoredMemory), caption, 41);
    MessageBoxService().Show(MemoryText(), caption, MessageKind::Information, MessageButtons::Ok);
}

void CGeneralPage::ShowAbout()
{
    QDialog* box = MakeAboutBox(this, m_context.window.HostWidget()->windowIcon());
    box->exec();
    delete box;
}

QDialog* MakeAboutBox(QWidget* parent, const QIcon& programIcon)
{
    auto* box = new QDialog(parent);
    box->setWindowTitle(ResourceText(StringId::AboutTitle));
    auto* layout = new QVBoxLayout(box);
    auto* row = new QHBoxLayout;
    auto* icon = new QLabel;
    const int side = box->fontMetrics().height() * 3;
    icon->setPixmap(programIcon.pixmap(side, side));
    row->addWidget(icon);
    auto* texts = new QVBoxLayout;
    auto* name = new QLabel(ResourceText(StringId::AppName));
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    texts->addWidget(name);
    // One version everywhere: the build's, as --version and the package say.
    texts->addWidget(new QLabel(ResourceText(StringId::AboutVersion).replace("%s", TALLIX_VERSION)));
    row->addLayout(texts, 1);
    layout->addLayout(row);
    auto* ok = new QDialogButtonBox(QDialogButtonBox::Ok);
    ok->button(QDialogButtonBox::Ok)->setText(ResourceText(StringId::DialogOk));
    QObject::connect(ok, &QDialogButtonBox::accepted, box, &QDialog::accept);
    layout->addWidget(ok);
    return box;
}
