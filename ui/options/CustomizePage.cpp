#include "ui/options/CustomizePage.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "calculator/CommandNames.h"
#include "platform/MessageBox.h"
#include "platform/SystemInfo.h"
#include "platform/TextCodec.h"
#include "skins/ButtonGroup.h"
#include "skins/SkinResources.h"
#include "strings/StringIds.h"
#include "ui/common/ChoiceSpeech.h"
#include "ui/common/ResourceText.h"
#include "ui/common/SkinImageView.h"
#include "ui/options/OptionPages.h"
#include "ui/options/OptionsHost.h"
#include "ui/pages/KeypadPage.h"
#include "ui/pages/SkinPage.h"

namespace {
constexpr int kPreviewWidth = 236;
constexpr int kPreviewHeight = 240 - CCustomizePage::kPreviewTop;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kInnerFrame = 0x587FA4;  // red 88, green 127, blue 164
constexpr int kFirstCustomKind = 10;

void FrameRect(CSkinImage& image, const SkinRect& r, uint32_t color)
{
    image.Fill(r.left, r.top, r.Width(), 1, color);
    image.Fill(r.left, r.bottom - 1, r.Width(), 1, color);
    image.Fill(r.left, r.top, 1, r.Height(), color);
    image.Fill(r.right - 1, r.top, 1, r.Height(), color);
}

// The white preview: the target group's buttons in the places of the layout.
class CPreview : public QWidget {
public:
    explicit CPreview(CCustomizePage* page) : QWidget(page), m_page(page)
    {
        setFixedSize(kPreviewWidth, kPreviewHeight);
        setObjectName("preview");
        setFocusPolicy(Qt::StrongFocus);
        setAccessibleName(ResourceText(StringId::CustomizePreview));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        const int top = CCustomizePage::kPreviewTop;
        CSkinImage image;
        image.Create(kPreviewWidth, kPreviewHeight);
        image.Fill(0, 0, kPreviewWidth, kPreviewHeight, kWhite);
        CCustomGroupEditor& editor = m_page->Editor();
        const SkinRect all{0, 0, kPreviewWidth, kPreviewHeight};
        const std::vector<CCustomGroupEditor::Slot>& places = editor.Slots();
        if (CKeypadPage* target = m_page->TargetPage()) {
            for (int i = 0; i < target->Group().Count() && i < static_cast<int>(places.size()); ++i)
                target->Group().DrawButtonAt(i, image, all, places[static_cast<size_t>(i)].x,
                                             places[static_cast<size_t>(i)].y - top);
        }
        SkinRect frame = editor.SelectionFrame();
        frame.top -= top;
        frame.bottom -= top;
        FrameRect(image, frame, 0);
        FrameRect(image, {frame.left + 1, frame.top + 1, frame.right - 1, frame.bottom - 1}, kInnerFrame);
        // While a switch waits, the keyboard's slot has a mark of its own.
        if (hasFocus() && editor.SwitchPending() && m_cursor < static_cast<int>(places.size())) {
            const CCustomGroupEditor::Slot& at = places[static_cast<size_t>(m_cursor)];
            DrawFocusMark(image, {at.x, at.y - top, at.x + frame.Width() - 2, at.y - top + frame.Height() - 2});
        }
        QPainter(this).drawImage(0, 0, OpaqueSkinImage(image, QRect(0, 0, image.Width(), image.Height())));
    }
    // Arrows move over the slots (and select, unless a switch waits for its
    // second slot); Space or Enter is the click on the slot.
    void keyPressEvent(QKeyEvent* event) override
    {
        CCustomGroupEditor& editor = m_page->Editor();
        const int count = static_cast<int>(editor.Slots().size());
        if (m_cursor >= count || !editor.SwitchPending()) m_cursor = editor.SelectedSlot();
        int step = 0;
        switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Up: step = -1; break;
        case Qt::Key_Right:
        case Qt::Key_Down: step = 1; break;
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            ClickCursor();
            SpeakCursor();
            return;
        default: QWidget::keyPressEvent(event); return;
        }
        if (count == 0) return;
        m_cursor = (m_cursor + step + count) % count;
        if (!editor.SwitchPending()) ClickCursor();
        update();
        SpeakCursor();
    }
    void focusInEvent(QFocusEvent*) override { update(); }
    void focusOutEvent(QFocusEvent*) override { update(); }
    void mousePressEvent(QMouseEvent* event) override
    {
        const QPoint p = event->position().toPoint();
        m_page->ClickPreview(p.x(), p.y() + CCustomizePage::kPreviewTop);
    }

private:
    void ClickCursor()
    {
        const std::vector<CCustomGroupEditor::Slot>& places = m_page->Editor().Slots();
        if (m_cursor < 0 || m_cursor >= static_cast<int>(places.size())) return;
        const CCustomGroupEditor::Slot& at = places[static_cast<size_t>(m_cursor)];
        m_page->ClickPreview(at.x + 2, at.y + 2);
        update();
    }
    // The preview is one painted picture: a screen reader hears the key in
    // the slot the arrows reached (after a switch, the key now there).
    void SpeakCursor()
    {
        CKeypadPage* target = m_page->TargetPage();
        if (!target || m_cursor < 0 || m_cursor >= target->AccessibleCount()) return;
        SpeakFor(this, QString::fromStdString(target->AccessibleName(m_cursor)));
    }

    CCustomizePage* m_page;
    int m_cursor = 0;
};

int ScreenHeight()
{
    int width = 0, height = 0;
    TheSystemInfo().ScreenSize(width, height);
    return height;
}
}  // namespace

CCustomizePage::CCustomizePage(QWidget* parent, OptionsContext& context)
    : QWidget(parent),
      m_context(context),
      m_editor(std::make_unique<CCustomGroupEditor>(context.resources, ScreenHeight())),
      m_target(new QComboBox),
      m_sourceGroup(new QComboBox),
      m_button(new QComboBox),
      m_large(new QRadioButton(ResourceText(StringId::CustomizeLarge))),
      m_small(new QRadioButton(ResourceText(StringId::CustomizeSmall))),
      m_preview(new CPreview(this))
{
    // The custom pages are edited even when the window has not built them yet.
    context.window.BuildRemainingPages();
    m_target->setObjectName("target");
    m_sourceGroup->setObjectName("sourceGroup");
    m_button->setObjectName("button");
    m_large->setObjectName("large");
    m_small->setObjectName("small");
    for (const char* name : CCustomGroupEditor::kTargets) m_target->addItem(name);
    for (const char* name : CCustomGroupEditor::kSources) m_sourceGroup->addItem(name);
    auto* add = new QPushButton(ResourceText(StringId::CustomizeAdd));
    auto* swap = new QPushButton(ResourceText(StringId::CustomizeSwitch));
    auto* addGroup = new QPushButton(ResourceText(StringId::CustomizeAddGroup));
    add->setObjectName("add");
    swap->setObjectName("switch");
    addGroup->setObjectName("addGroup");

    auto* grid = new QGridLayout;
    auto* targetLabel = new QLabel(ResourceText(StringId::CustomizeSelectGroup));
    targetLabel->setBuddy(m_target);
    grid->addWidget(targetLabel, 0, 0);
    grid->addWidget(m_target, 0, 1);
    auto* layouts = new QHBoxLayout;
    layouts->addWidget(m_large);
    layouts->addWidget(m_small);
    layouts->addStretch(1);
    grid->addLayout(layouts, 1, 0, 1, 2);
    auto* buttonLabel = new QLabel(ResourceText(StringId::CustomizeSelectButton));
    buttonLabel->setBuddy(m_sourceGroup);
    m_button->setAccessibleName(ResourceText(StringId::CustomizeButtonName));
    grid->addWidget(buttonLabel, 2, 0);
    grid->addWidget(m_sourceGroup, 2, 1);
    grid->addWidget(m_button, 3, 1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {add, swap, addGroup}) buttons->addWidget(b);
    buttons->addStretch(1);
    grid->addLayout(buttons, 4, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(m_preview, 0, Qt::AlignHCenter);
    layout->addStretch(1);

    connect(m_target, &QComboBox::currentIndexChanged, this, [this](int index) { ChooseTarget(index); });
    connect(m_sourceGroup, &QComboBox::currentIndexChanged, this, [this](int group) { FillSourceButtons(group); });
    for (QComboBox* box : {m_target, m_sourceGroup, m_button}) SpeakSteppedChoices(box);
    TabLandsOnChecked({m_large, m_small});
    connect(m_large, &QRadioButton::clicked, this,
            [this] { Apply(m_editor->SetLayout(CCustomGroupEditor::kLarge)); });
    connect(m_small, &QRadioButton::clicked, this,
            [this] { Apply(m_editor->SetLayout(CCustomGroupEditor::kSmall)); });
    connect(add, &QPushButton::clicked, this,
            [this] { Apply(m_editor->Add(m_button->currentData().toString().toLatin1().toStdString())); });
    connect(swap, &QPushButton::clicked, this, [this] { m_editor->Switch(); });
    connect(addGroup, &QPushButton::clicked, this, [this] {
        std::vector<std::string> names;
        for (int i = 0; i < m_button->count(); ++i) names.push_back(m_button->itemData(i).toString().toLatin1().toStdString());
        Apply(m_editor->AddGroup(names));
    });
    FillSourceButtons(0);
    ChooseTarget(0);
}

CCustomizePage::~CCustomizePage() = default;

CKeypadPage* CCustomizePage::TargetPage() const
{
    const int index = m_target->currentIndex() < 0 ? 0 : m_target->currentIndex();
    return dynamic_cast<CKeypadPage*>(m_context.window.PageOfKind(kFirstCustomKind + index));
}

void CCustomizePage::ChooseTarget(int index)
{
    m_editor->SelectTarget(index);
    m_large->setChecked(m_editor->Layout() == CCustomGroupEditor::kLarge);
    m_small->setChecked(m_editor->Layout() == CCustomGroupEditor::kSmall);
    m_preview->update();
}

void CCustomizePage::FillSourceButtons(int group)
{
    if (group < 0 || group >= 9) return;
    m_button->clear();
    // Shown by what the key does, in the user's language; kept by its definition's name.
    CIniStore& definitions = m_context.resources.ButtonDefinitions();
    for (const std::string& name : m_editor->SourceButtons(CCustomGroupEditor::kSources[group])) {
        int type = -1, id = -1;
        definitions.GetInt(type, name.c_str(), "BtnType", -1);
        definitions.GetInt(id, name.c_str(), "BtnId", -1);
        const std::string shown = type >= 0 ? CommandName(type, id) : Cp1252ToUtf8(name);
        m_button->addItem(QString::fromStdString(shown), QString::fromLatin1(name.data(), static_cast<int>(name.size())));
    }
    m_button->setCurrentIndex(0);
}

void CCustomizePage::ClickPreview(int x, int y) { Apply(m_editor->Click(x, y)); }

void CCustomizePage::Apply(CCustomGroupEditor::EEdit result)
{
    if (result == CCustomGroupEditor::EEdit::Changed)
        m_context.window.ReloadGroupPage(kFirstCustomKind + m_target->currentIndex());
    if (result == CCustomGroupEditor::EEdit::NoRoom) {
        std::string text = ResourceText(StringId::CustomizeSkinFull).toStdString();
        const size_t at = text.find("%s");
        if (at != std::string::npos) text.replace(at, 2, m_editor->Target());
        MessageBoxService().Show(text, ResourceText(StringId::TabCustomize).toStdString(), MessageKind::Warning,
                                 MessageButtons::Ok);
    }
    // The radio buttons show the layout the group really has.
    m_large->setChecked(m_editor->Layout() == CCustomGroupEditor::kLarge);
    m_small->setChecked(m_editor->Layout() == CCustomGroupEditor::kSmall);
    m_preview->update();
}
