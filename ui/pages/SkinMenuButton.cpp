#include "ui/pages/SkinMenuButton.h"

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

// Our radio mark: a round dot, black on white (white leaves the item's background).
void MakeCheckMark(CSkinImage& mark)
{
    mark.Create(kCheckSize, kCheckSize);
    for (int y = 0; y < kCheckSize; ++y)
        for (int x = 0; x < kCheckSize; ++x) {
            const int dx = 2 * x - 9, dy = 2 * y - 9;
            mark.SetPixel(x, y, dx * dx + dy * dy <= 40 ? CSkinImage::kBlack : CSkinImage::kWhite);
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
    MakeCheckMark(m_checkMark);
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
    const bool separator = index >= 0 && index < static_cast<int>(m_items->size()) &&
                           (*m_items)[index].kind == kMenuSeparator;
    height = separator ? 5 * scale : m_itemHeight * scale;
}

void CSkinMenuButton::DrawBackground(CSkinImage& dc, const SkinRect& rect) const
{
    if (!m_background || m_background->IsEmpty()) {
        dc.Fill(rect.left, rect.top, rect.Width(), rect.Height(), CSkinImage::kWhite);
        return;
    }
    for (int y = rect.top; y < rect.bottom; y += m_background->Height())
        dc.Transfer(rect.left, y, rect.Width(), std::min(m_background->Height(), rect.bottom - y),
                    *m_background, 0, 0, ERasterOp::Copy);
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
    if (item.kind == kMenuSeparator) {
        dc.Fill(rect.left + 4 * scale, rect.top + 2 * scale, rect.Width() - 8 * scale, 1, CSkinImage::kBlack);
        return;
    }
    const uint32_t color = !item.enabled ? kGrayText : selecting ? 0xFFFFFFu : m_textColor;
    const int textHeight = m_textHeight * scale;
    DrawSkinTextUtf8(rect.left + 20 * scale, rect.top + (h - textHeight) / 2, textHeight, m_textWeight,
                     m_textFont, item.text, dc, color, 0);
    if (item.kind == kMenuGroup && item.marked) {
        const int x = rect.left + 5 * scale, y = rect.top + (h - kCheckSize * scale) / 2;
        if (scale == 1) {
            dc.MaskedTransfer(x, y, kCheckSize, kCheckSize, m_checkMark, 0, 0, m_checkMark, 0, 0);
        } else {
            // At double scale the same dot, twice as large.
            for (int my = 0; my < kCheckSize * 2; ++my)
                for (int mx = 0; mx < kCheckSize * 2; ++mx)
                    if (m_checkMark.GetPixel(mx / 2, my / 2) == CSkinImage::kBlack)
                        dc.SetPixel(x + mx, y + my, CSkinImage::kBlack);
        }
    }
}

std::string MenuButtonAccessibleName()
{
    std::string text = "Group menu";
    LoadResString(LocalizedId(StringId::MenuButtonName), text);
    return text;
}
