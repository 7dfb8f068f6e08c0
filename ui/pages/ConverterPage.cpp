#include "ui/pages/ConverterPage.h"

#include <QMouseEvent>

#include <algorithm>

#include "platform/SystemInfo.h"
#include "platform/TextPainter.h"
#include "settings/SettingsStore.h"
#include "skins/KeypadSurface.h"
#include "skins/SkinResources.h"
#include "skins/SkinText.h"
#include "strings/Language.h"
#include "ui/common/ChoiceSpeech.h"
#include "ui/common/MessageReceiver.h"
#include "ui/pages/PageAccessible.h"
#include "ui/pages/PageBand.h"
#include "ui/pages/SkinListButton.h"
#include "ui/pages/SkinMenuButton.h"


CConverterPage::CConverterPage(QWidget* parent, CSkinResources& resources, CPageBand* band,
                               const char* section, const CSkinImage* background)
    : CSkinPage(parent), m_resources(resources), m_section(section), m_band(band), m_background(background),
      m_messages(new CMessageReceiver(
          this, [this](unsigned msg, intptr_t wParam, intptr_t lParam) { HandleMessage(msg, wParam, lParam); }))
{
    SetPageSize(resources.Scaled(240), resources.Scaled(134));
}

void CConverterPage::AcquireBuffers() { m_buffer.Create(ArtWidth(), ArtHeight()); }

void CConverterPage::ReleaseBuffers() { m_buffer.Destroy(); }

CConverterPage::~CConverterPage()
{
    if (m_band) m_band->Forget(this);
}

IMessageTarget* CConverterPage::Messages() { return m_messages; }

int CConverterPage::Scaled(int v) const { return m_resources.Scaled(v); }

int CConverterPage::CompactScreen() const
{
    int width = 0, height = 0;
    if (!TheSystemInfo().ScreenSize(width, height)) return 0;
    return width == Scaled(320) || (width > 0 && width == height);
}

void CConverterPage::ReadTextStyle(TextStyle& style)
{
    const char* section = m_section.c_str();
    m_resources.GetSkinInt(style.weight, section, "TextWeight", 700);
    m_resources.GetSkinInt(style.height, section, "TextHeight", 20);
    m_resources.GetSkinColor(style.color, section, "TextColor", 0);
    m_resources.GetSkinString(style.font, section, "TextFont", "Tahoma");
    style.height = Scaled(ClampSkinValue(style.height, 1, 200));
    style.weight = ClampSkinValue(style.weight, 0, 1000);
}

int CConverterPage::FitTextHeight(const std::string& face, int height, int weight, const std::string& text,
                                  int room) const
{
    TextFontSpec font{face, height, weight, SkinTextClearType() != 0};
    for (; font.height > height * 2 / 3; --font.height)
        if (TextPainterService().MeasureText(font, text) <= room) break;
    return font.height;
}

int CConverterPage::MenuButtonRight() const { return m_menu ? m_menu->ButtonRect().right : 0; }

void CConverterPage::Setup(const std::vector<GroupMenuItem>* items, IMessageTarget* target,
                           uint32_t backgroundColor)
{
    m_backgroundColor = backgroundColor;
    int x = 0, y = 0;
    std::string name;
    m_resources.GetSkinPair(x, y, m_section.c_str(), "BtnMenuLocation", 0, 0);
    m_resources.GetSkinString(name, m_section.c_str(), "BtnMenu", "MenuButton");
    m_menu = std::make_unique<CSkinMenuButton>(&m_resources, this);
    if (!m_menu->CreateMenuButton(items, Scaled(x), Scaled(y), name.c_str(), this, target, kMsgGroupSelect))
        m_menu.reset();
}

CSkinListButton* CConverterPage::AddList(const char* locationKey, const char* nameKey, const char* defaultName,
                                         unsigned message, int maxHeight, int labelId)
{
    int x = 0, y = 0;
    std::string name;
    m_resources.GetSkinPair(x, y, m_section.c_str(), locationKey, 0, 0);
    m_resources.GetSkinString(name, m_section.c_str(), nameKey, defaultName);
    auto list = std::make_unique<CSkinListButton>(&m_resources);
    if (!list->CreateListButton(Scaled(x), Scaled(y), name.c_str(), this, m_messages, message, Scaled(maxHeight),
                                kSizeLarge))
        return nullptr;
    m_lists.push_back(std::move(list));
    m_listLabels.push_back(labelId);
    m_listMessages.push_back(message);
    return m_lists.back().get();
}

void CConverterPage::PaintPage(const SkinRect& clip)
{
    const SkinRect all{0, 0, m_buffer.Width(), m_buffer.Height()};
    if (m_background)
        m_buffer.Transfer(0, 0, m_buffer.Width(), m_buffer.Height(), *m_background, m_backgroundLeft, 0,
                          ERasterOp::Copy);
    else
        m_buffer.Fill(0, 0, m_buffer.Width(), m_buffer.Height(), m_backgroundColor);
    if (m_menu) m_menu->Draw(m_buffer, all, 1, 1);
    for (const auto& list : m_lists) list->Draw(m_buffer, all, 1, 1);
    PaintContent(m_buffer);
    if (m_keyFocus >= 0) DrawFocusMark(m_buffer, AccessibleRect(m_keyFocus));

    CPageSwitch& band = m_band->Switch();
    const int bandTop = Scaled(54);
    if (!band.IsRunning() &&
        band.OnBandPaint(m_screen, m_buffer, clip, bandTop, CSettingsStore::Instance().Scrolling(),
                         m_resources.DoubleScale()))
        m_band->FramesStarted(this, bandTop, Scaled(80));
    if (band.IsRunning()) {
        // The running frames own the band rows of the screen.
        CopyClipRows(m_screen, m_buffer, clip, clip.top, band.BandScreenTop());
        CopyClipRows(m_screen, m_buffer, clip, band.BandScreenBottom(), clip.bottom);
    } else {
        CopyClipRows(m_screen, m_buffer, clip, clip.top, clip.bottom);
    }
}

void CConverterPage::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    if (m_keyFocus >= 0) {
        m_keyFocus = -1;
        update();
    }
    const QPoint p = ArtPoint(event);
    m_menuTookPress = 0;
    if (OnPress(p.x(), p.y())) return;
    // Every list hears the press: the one under it toggles, an open other closes.
    for (const auto& list : m_lists) list->OnMouseDown(p.x(), p.y());
    m_menuTookPress = m_menu && m_menu->OnMouseDown(p.x(), p.y());
}

void CConverterPage::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    if (m_menuTookPress) {
        m_menuTookPress = 0;
        return;
    }
    for (const auto& list : m_lists) list->RedrawList();
}

void CConverterPage::CloseLists()
{
    for (const auto& list : m_lists) list->Close();
}

void CConverterPage::hideEvent(QHideEvent* event)
{
    CloseLists();
    // Arriving on the page again, the arrows switch groups until a list is marked.
    m_keyFocus = -1;
    CSkinPage::hideEvent(event);
}

std::vector<CConverterPage::PageControl> CConverterPage::Controls() const
{
    std::vector<PageControl> controls;
    if (m_menu) {
        CSkinMenuButton* menu = m_menu.get();
        controls.push_back({menu->ButtonRect(), MenuButtonAccessibleName(), [menu] { menu->OpenLater(); }});
    }
    for (size_t i = 0; i < m_lists.size(); ++i) {
        CSkinListButton* list = m_lists[i].get();
        std::string label = list->SelectedText();
        if (m_listLabels[i]) LoadResString(LocalizedId(m_listLabels[i]), label);
        controls.push_back({list->ButtonRect(), label,
                            [list] {
                                if (list->IsOpen())
                                    list->Close();
                                else
                                    list->Open();
                            },
                            EAccessRole::ComboBox, list->SelectedText(), list});
    }
    AddControls(controls);
    // Reading order: by rows from the top, then from the left.
    std::stable_sort(controls.begin(), controls.end(), [](const PageControl& a, const PageControl& b) {
        if (a.keepsPlace || b.keepsPlace) return b.keepsPlace && !a.keepsPlace;
        return a.rect.top != b.rect.top ? a.rect.top < b.rect.top : a.rect.left < b.rect.left;
    });
    return controls;
}

int CConverterPage::AccessibleCount() const { return static_cast<int>(Controls().size()); }

std::string CConverterPage::AccessibleName(int index) const
{
    const std::vector<PageControl> controls = Controls();
    return index >= 0 && index < static_cast<int>(controls.size()) ? controls[index].name : std::string();
}

SkinRect CConverterPage::AccessibleRect(int index) const
{
    const std::vector<PageControl> controls = Controls();
    return index >= 0 && index < static_cast<int>(controls.size()) ? controls[index].rect : SkinRect{};
}

void CConverterPage::AccessiblePress(int index)
{
    const std::vector<PageControl> controls = Controls();
    if (index >= 0 && index < static_cast<int>(controls.size()) && controls[index].press) controls[index].press();
    RefreshAccessibleNames(this);
}

EAccessRole CConverterPage::AccessibleRole(int index) const
{
    const std::vector<PageControl> controls = Controls();
    if (index < 0 || index >= static_cast<int>(controls.size())) return EAccessRole::Button;
    // What cannot be pressed only shows something: a read-out.
    return controls[index].press ? controls[index].role : EAccessRole::Label;
}

std::string CConverterPage::AccessibleDescription(int index) const
{
    const std::vector<PageControl> controls = Controls();
    return index >= 0 && index < static_cast<int>(controls.size()) ? controls[index].shown : std::string();
}

int CConverterPage::OnKey(int key, int modifiers)
{
    if (OnPageKey(key, modifiers)) return 1;
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier)) return 0;
    const std::vector<PageControl> controls = Controls();
    std::vector<int> pressable;
    for (size_t i = 0; i < controls.size(); ++i)
        if (controls[i].press) pressable.push_back(static_cast<int>(i));
    if (pressable.empty()) return 0;
    const bool back = key == Qt::Key_Backtab || key == Qt::Key_Left ||
                      (key == Qt::Key_Tab && (modifiers & Qt::ShiftModifier));
    if (back || key == Qt::Key_Tab || key == Qt::Key_Right) {
        const int count = static_cast<int>(pressable.size());
        const auto at = std::find(pressable.begin(), pressable.end(), m_keyFocus);
        int step = 0;
        if (at == pressable.end())
            step = back ? count - 1 : 0;  // the first step marks the first (or last) control
        else
            step = (static_cast<int>(at - pressable.begin()) + (back ? count - 1 : 1)) % count;
        MoveKeyFocus(pressable[step]);
        return 1;
    }
    const bool marked = m_keyFocus >= 0 && m_keyFocus < static_cast<int>(controls.size());
    if ((key == Qt::Key_Up || key == Qt::Key_Down) && marked && controls[m_keyFocus].list) {
        StepList(controls[m_keyFocus].list, key == Qt::Key_Down ? 1 : -1);
        return 1;
    }
    if ((key == Qt::Key_Space || key == Qt::Key_F4) && m_keyFocus >= 0 &&
        m_keyFocus < static_cast<int>(controls.size()) && controls[m_keyFocus].press) {
        controls[m_keyFocus].press();
        update();
        RefreshAccessibleNames(this);
        return 1;
    }
    return 0;
}

void CConverterPage::HandleMessage(unsigned msg, intptr_t wParam, intptr_t lParam)
{
    OnMessage(msg, wParam, lParam);
    if (std::find(m_listMessages.begin(), m_listMessages.end(), msg) != m_listMessages.end()) ListChosen();
}

int CConverterPage::ListHasFocus() const
{
    const std::vector<PageControl> controls = Controls();
    return m_keyFocus >= 0 && m_keyFocus < static_cast<int>(controls.size()) && controls[m_keyFocus].list;
}

int CConverterPage::ArrowEntries(const CSkinListButton* list) const { return list->EntryCount(); }

void CConverterPage::StepList(CSkinListButton* list, int step)
{
    const int last = ArrowEntries(list) - 1;
    const int at = std::clamp(list->Selection() + step, 0, std::max(0, last));
    // At either end the value stays, as on any combo box.
    if (last < 0 || at == list->Selection()) return;
    // The screen reader hears the new value before what it changed.
    m_stepped = list->Entry(at);
    list->ChooseEntry(at);
}

void CConverterPage::MoveKeyFocus(int index)
{
    m_keyFocus = index;
    update();
    NotifyAccessibleFocus(this);
}

void CConverterPage::Announce(const std::string& text)
{
    // The lists' new values first, then what they changed.
    RefreshAccessibleNames(this);
    const std::string said = m_stepped.empty() || text.empty() ? m_stepped + text : m_stepped + ", " + text;
    m_stepped.clear();
    if (said.empty() || !isVisible()) return;
    m_announced = said;
    SpeakFor(this, QString::fromStdString(said));
}
