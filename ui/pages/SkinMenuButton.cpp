#include "ui/pages/SkinMenuButton.h"

#include <QTimer>
#include <QWidget>

#include <algorithm>

#include "skins/SkinResources.h"
#include "skins/SkinText.h"
#include "strings/Language.h"
#include "strings/StringIds.h"
#include "ui/pages/GroupMenuPopup.h"
#include "ui/pages/SkinPage.h"

namespace {
const uint32_t kHighlight = 0x00009Cu;  // red 0, green 0, blue 156 (buffer order)
const uint32_t kGrayText = 0x808080u;   // 0x00BBGGRR, as skin colours
const int kCheckSize = 10;
const int kTextLeft = 20;  // from the item's left edge, past the check mark
const int kTextRight = 8;  // room kept right of the longest text

// Our radio mark: a round dot, black on white (white leaves the item's
// background), drawn at the scale's size so it stays round.
void MakeCheckMark(CSkinImage& mark, int scale)
{
    const int size = kCheckSize * scale;
    mark.Create(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int dx = 2 * x - (size - 1), dy = 2 * y - (size - 1);
            mark.SetPixel(x, y, dx * dx + dy * dy <= 40 * scale * scale ? CSkinImage::kBlack : CSkinImage::kWhite);
        }
}
}  // namespace

CSkinMenuButton::CSkinMenuButton(CSkinResources* resources, QWidget* hostWidget)
    : CSkinButton(resources), m_hostWidget(hostWidget)
{
}

int CSkinMenuButton::CreateMenuButton(const std::vector<GroupMenuItem>* items, int x, int y,
                                      const char* section, ISkinHost* host, IMessageTarget* target,
                                      unsigned message)
{
    if (!items) return 0;
    m_items = items;
    MakeCheckMark(m_checkMark, Resources().DoubleScale() ? 2 : 1);
    CIniStore& defs = Resources().ButtonDefinitions();
    std::string background;
    if (!defs.GetString(background, section, "Background", "")) return 0;
    m_background = Resources().LoadImage(Resources().SkinPath(background));
    if (!m_background) return 0;
    if (!defs.GetColor(m_textColor, section, "TextColor", 0) ||
        !defs.GetString(m_textFont, section, "TextFont", "Tahoma") ||
        !defs.GetInt(m_textHeight, section, "TextHeight", 0) ||
        !defs.GetInt(m_textWeight, section, "TextWeight", 0) ||
        !defs.GetInt(m_itemHeight, section, "MenuItemHeight", 0) ||
        !defs.GetInt(m_itemWidth, section, "MenuItemWidth", 0))
        return 0;
    m_itemHeight = ClampSkinValue(m_itemHeight, 0, 512);
    m_itemWidth = ClampSkinValue(m_itemWidth, 0, 2048);
    m_textHeight = ClampSkinValue(m_textHeight, 0, 512);
    return Create(x, y, section, host, target, message, kSizeLarge);
}

int CSkinMenuButton::OnMouseDown(int x, int y)
{
    if (!ButtonRect().Contains(x, y)) return 0;
    SetPressed(1);
    QPoint at(ButtonRect().left, ButtonRect().bottom);
    if (m_hostWidget) at = m_hostWidget->mapToGlobal(ArtToLogical(at));
    const int command = TrackMenu(at.x(), at.y());
    SetPressed(0);
    if (command > 0 && m_target) m_target->PostMessage(m_message, command - 1, 0);
    return 1;
}

void CSkinMenuButton::OpenLater()
{
    if (!m_hostWidget) return;
    // The host owns the button: a page that goes first takes the call with it.
    QTimer::singleShot(0, m_hostWidget, [this] {
        const SkinRect r = ButtonRect();
        m_byKeyboard = 1;
        OnMouseDown((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        m_byKeyboard = 0;
    });
}

int CSkinMenuButton::TrackMenu(int screenX, int screenY)
{
    ClearHighlight();
    CGroupMenuPopup popup(*this, m_hostWidget);
    return popup.Exec(screenX, screenY);
}

void CSkinMenuButton::MeasureItem(int index, int& width, int& height) const
{
    const int scale = Resources().DoubleScale() ? 2 : 1;
    width = scale * (m_itemWidth - 3);
    const bool inList = index >= 0 && index < static_cast<int>(m_items->size());
    const bool separator = inList && (*m_items)[index].kind == kMenuSeparator;
    height = separator ? 5 * scale : m_itemHeight * scale;
    // The skin's width is the least: a longer text (another language) widens
    // the item, and so the whole menu, rather than being cut.
    if (inList && !separator)
        width = std::max(width, scale * (kTextLeft + kTextRight) +
                                    MeasureSkinTextUtf8(m_textHeight * scale, m_textWeight, m_textFont,
                                                        (*m_items)[index].text));
}

void CSkinMenuButton::DrawBackground(CSkinImage& dc, const SkinRect& rect) const
{
    if (!m_background || m_background->IsEmpty()) {
        dc.Fill(rect.left, rect.top, rect.Width(), rect.Height(), CSkinImage::kWhite);
        return;
    }
    // Tiled both ways: a long text may make the menu wider than the image.
    const int w = m_background->Width(), h = m_background->Height();
    for (int y = rect.top; y < rect.bottom; y += h)
        for (int x = rect.left; x < rect.right; x += w)
            dc.Transfer(x, y, std::min(w, rect.right - x), std::min(h, rect.bottom - y), *m_background, 0, 0,
                        ERasterOp::Copy);
}

void CSkinMenuButton::DrawItem(CSkinImage& dc, int command, int action, const SkinRect& rect)
{
    if (command < 1 || command > static_cast<int>(m_items->size())) return;
    const GroupMenuItem& item = (*m_items)[command - 1];
    const bool selectable = item.kind != kMenuSeparator && item.enabled;
    const bool selecting = action == kDrawSelect && selectable;
    if (selecting && !(m_hasHighlight && m_highlightCommand == command)) {
        dc.Fill(rect.left, rect.top, rect.Width(), rect.Height(), kHighlight);
        const int had = m_hasHighlight, previous = m_highlightCommand;
        const SkinRect previousRect = m_highlightRect;
        m_hasHighlight = 1;
        m_highlightCommand = command;
        m_highlightRect = rect;
        if (had && previous != command) DrawItem(dc, previous, kDrawEntire, previousRect);
    } else if (!selecting) {
        DrawBackground(dc, rect);
    }

    const int scale = Resources().DoubleScale() ? 2 : 1;
    const int h = rect.Height();
    // Separator and mark take the text colour, so they show on a dark menu too.
    const uint32_t ink = SkinColorToPixel(m_textColor);
    if (item.kind == kMenuSeparator) {
        dc.Fill(rect.left + 4 * scale, rect.top + 2 * scale, rect.Width() - 8 * scale, scale, ink);
        return;
    }
    const uint32_t color = !item.enabled ? kGrayText : selecting ? 0xFFFFFFu : m_textColor;
    const int textHeight = m_textHeight * scale;
    DrawSkinTextUtf8(rect.left + kTextLeft * scale, rect.top + (h - textHeight) / 2, textHeight, m_textWeight,
                     m_textFont, item.text, dc, color, 0);
    if (item.kind == kMenuGroup && item.marked) {
        const int x = rect.left + 5 * scale, y = rect.top + (h - kCheckSize * scale) / 2;
        const uint32_t mark = selecting ? 0xFFFFFFu : ink;
        for (int my = 0; my < kCheckSize * scale; ++my)
            for (int mx = 0; mx < kCheckSize * scale; ++mx)
                if (m_checkMark.GetPixel(mx, my) == CSkinImage::kBlack)
                    dc.SetPixel(x + mx, y + my, mark);
    }
}

std::string MenuButtonAccessibleName()
{
    std::string text = "Group menu";
    LoadResString(LocalizedId(StringId::MenuButtonName), text);
    return text;
}
