#include "ui/converters/HistoryPage.h"

#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>

#include "calculator/CalcController.h"
#include "platform/Clipboard.h"
#include "settings/SettingsStore.h"
#include "skins/SkinResources.h"
#include "skins/SkinText.h"
#include "strings/Language.h"
#include "strings/StringIds.h"
#include "ui/pages/DisplayPage.h"
#include "ui/pages/PageAccessible.h"

namespace {
// Places at normal scale: the list's rows in the band, the selected entry in
// the display box, the clear command left of its calculation.
const int kRowTop = 56, kRowHeight = 15, kRowText = 11;
const int kLeft = 4, kRight = 230;
// Inside the display's frame, which both skins draw at the left edge.
const int kClearLeft = 8;
const int kExpressionTop = 5, kExpressionText = 12, kValueTop = 18, kClearTop = 6, kClearText = 10;

std::string Formatted(int id, const char* english, const std::string& first, const std::string& second)
{
    std::string format = LocalizedText(id, english);
    const size_t a = format.find("%s"), b = a == std::string::npos ? a : format.find("%s", a + 2);
    if (b == std::string::npos) return first + " " + second;
    return format.substr(0, a) + first + format.substr(a + 2, b - a - 2) + second + format.substr(b + 2);
}
}  // namespace

CHistoryPage::CHistoryPage(QWidget* parent, CSkinResources& resources, CPageBand* band, CCalcController& calculator)
    : CConverterPage(parent, resources, band, "History", resources.BackgroundWide()), m_calculator(calculator)
{
    SetBackgroundLeft(resources.Scaled(40));
}

void CHistoryPage::Setup(const std::vector<GroupMenuItem>* items, IMessageTarget* target, uint32_t backgroundColor)
{
    // A skin without a history section dresses the page like its display.
    if (m_resources.Description().FindSection("History") < 0) m_section = "Display";
    CConverterPage::Setup(items, target, backgroundColor);
    ReadTextStyle(m_text);
}

void CHistoryPage::Follow() const
{
    const CCalcHistory& history = m_calculator.History();
    const int count = static_cast<int>(history.Count());
    if (history.Revision() != m_revision) {
        m_revision = history.Revision();
        m_selected = count - 1;
    }
    m_selected = std::clamp(m_selected, count ? 0 : -1, count - 1);
    // The selection stays in view, the list's foot at the newest entry at most.
    if (m_selected < m_first) m_first = m_selected;
    if (m_selected >= m_first + kRows) m_first = m_selected - kRows + 1;
    m_first = std::max(0, std::min(m_first, count - kRows));
}

int CHistoryPage::Selected() const
{
    Follow();
    return m_selected;
}

int CHistoryPage::FirstShown() const
{
    Follow();
    return m_first;
}

int CHistoryPage::ShownRows() const
{
    return std::min<int>(kRows, static_cast<int>(m_calculator.History().Count()) - FirstShown());
}

void CHistoryPage::Select(int index)
{
    Follow();
    const int count = static_cast<int>(m_calculator.History().Count());
    if (count == 0) return;
    m_selected = std::clamp(index, 0, count - 1);
    Changed();
}

void CHistoryPage::Changed()
{
    update();
    NotifyAccessibleFocus(this);
}

std::string CHistoryPage::EntryText(size_t index) const
{
    const SHistoryEntry& entry = m_calculator.History().At(index);
    const int regional = CSettingsStore::Instance().RegionalSettings();
    std::string text = m_calculator.HistoryExpressionText(entry, regional) + " = " +
                       m_calculator.HistoryResultText(entry, regional);
    return entry.base == 10 ? text : text + " (" + BaseName(entry.base) + ")";
}

std::string CHistoryPage::EntrySpoken(size_t index) const
{
    const SHistoryEntry& entry = m_calculator.History().At(index);
    const int regional = CSettingsStore::Instance().RegionalSettings();
    std::string text = Formatted(StringId::HistoryEntryName, "%s equals %s",
                                 m_calculator.HistoryExpressionText(entry, regional),
                                 m_calculator.HistoryResultText(entry, regional));
    return entry.base == 10 ? text : text + ", " + BaseName(entry.base);
}

std::string CHistoryPage::AccessibleValue() const
{
    const int selected = Selected();
    return selected < 0 ? LocalizedText(StringId::HistoryEmpty, "No calculations yet") : EntrySpoken(selected);
}

int CHistoryPage::AccessibleFocus() const
{
    if (KeyFocus() >= 0 || Selected() < 0) return KeyFocus();
    // The rows come last in reading order.
    return AccessibleCount() - ShownRows() + (Selected() - FirstShown());
}

int CHistoryPage::RecallSelected()
{
    const int selected = Selected();
    if (selected < 0 || !m_calculator.RecallHistory(static_cast<size_t>(selected))) return 0;
    if (parentWidget()) parentWidget()->update();
    return 1;
}

int CHistoryPage::CopySelected() const
{
    const int selected = Selected();
    return selected >= 0 && ClipboardService().SetText(EntryText(static_cast<size_t>(selected)));
}

void CHistoryPage::ClearHistory()
{
    m_calculator.History().Clear();
    m_selected = -1;
    m_first = 0;
    Changed();
}

int CHistoryPage::OnPageKey(int key, int modifiers)
{
    const bool ctrl = modifiers & Qt::ControlModifier;
    const int selected = Selected();
    switch (key) {
    case Qt::Key_Up: Select(selected - 1); return 1;
    case Qt::Key_Down: Select(selected + 1); return 1;
    case Qt::Key_PageUp: Select(selected - kRows); return 1;
    case Qt::Key_PageDown: Select(selected + kRows); return 1;
    case Qt::Key_Home: Select(0); return 1;
    case Qt::Key_End: Select(static_cast<int>(m_calculator.History().Count()) - 1); return 1;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter on a control with the focus mark presses it.
        if (KeyFocus() >= 0 || ctrl) return 0;
        RecallSelected();
        return 1;
    case Qt::Key_C: return ctrl && CopySelected();
    case Qt::Key_Delete:
        if (ctrl || KeyFocus() >= 0) return 0;
        ClearHistory();
        return 1;
    default: return 0;
    }
}

SkinRect CHistoryPage::RowRect(int row) const
{
    // A short list stands at the foot of the band, by the newest entry.
    row += kRows - ShownRows();
    return {Scaled(kLeft - 2), Scaled(kRowTop + row * kRowHeight), Scaled(kRight + 6),
            Scaled(kRowTop + (row + 1) * kRowHeight)};
}

SkinRect CHistoryPage::ClearRect() const
{
    const std::string text = LocalizedText(StringId::HistoryClear, "Clear history");
    const int width = MeasureSkinTextUtf8(Scaled(kClearText), 400, m_text.font, text);
    return {Scaled(kClearLeft), Scaled(kClearTop), Scaled(kClearLeft) + width, Scaled(kClearTop + kClearText + 2)};
}

int CHistoryPage::OnPress(int x, int y)
{
    const SkinRect clear = ClearRect();
    if (x >= clear.left && x < clear.right && y >= clear.top && y < clear.bottom) {
        ClearHistory();
        return 1;
    }
    for (int row = 0; row < ShownRows(); ++row) {
        const SkinRect r = RowRect(row);
        if (y >= r.top && y < r.bottom) {
            Select(FirstShown() + row);
            RecallSelected();
            return 1;
        }
    }
    return 0;
}

void CHistoryPage::wheelEvent(QWheelEvent* event)
{
    const int dy = event->angleDelta().y();
    if (dy != 0) Select(Selected() + (dy < 0 ? 1 : -1));
    event->accept();
}

void CHistoryPage::PaintContent(CSkinImage& dc)
{
    const std::string& face = m_text.font;
    const uint32_t color = m_text.color;
    const int selected = Selected();
    const std::string clear = LocalizedText(StringId::HistoryClear, "Clear history");
    DrawSkinTextUtf8(Scaled(kClearLeft), Scaled(kClearTop), Scaled(kClearText), 400, face, clear, dc, color, kAlignLeft);
    const int valueLeft = std::max(Scaled(kLeft), MenuButtonRight() + Scaled(4));
    if (selected < 0) {
        const std::string empty = LocalizedText(StringId::HistoryEmpty, "No calculations yet");
        DrawSkinTextUtf8(Scaled(kRight), Scaled(kRowTop + kRowHeight * 2), Scaled(kRowText), 400, face,
                         FitSkinTextTail(Scaled(kRowText), 400, face, empty, Scaled(kRight - kLeft)), dc, color,
                         kAlignRight);
        return;
    }
    const SHistoryEntry& entry = m_calculator.History().At(static_cast<size_t>(selected));
    const int regional = CSettingsStore::Instance().RegionalSettings();
    std::string expression = m_calculator.HistoryExpressionText(entry, regional) + " =";
    if (entry.base != 10) expression = BaseName(entry.base) + "  " + expression;
    const int room = Scaled(kRight) - ClearRect().right - Scaled(6);
    DrawSkinTextUtf8(Scaled(kRight), Scaled(kExpressionTop), Scaled(kExpressionText), 400, face,
                     FitSkinTextTail(Scaled(kExpressionText), 400, face, expression, room), dc, color, kAlignRight);
    const std::string value = m_calculator.HistoryResultText(entry, regional);
    const int height = FitSkinTextHeight(m_text.height, Scaled(8), m_text.weight, face, value,
                                         Scaled(kRight) - valueLeft);
    DrawSkinTextUtf8(Scaled(kRight), Scaled(kValueTop) + m_text.height - height, height, m_text.weight, face,
                     FitSkinTextTail(height, m_text.weight, face, value, Scaled(kRight) - valueLeft), dc, color,
                     kAlignRight);
    for (int row = 0; row < ShownRows(); ++row) {
        const int index = FirstShown() + row;
        const int weight = index == selected ? 700 : 400;
        const std::string text = EntryText(static_cast<size_t>(index));
        const SkinRect r = RowRect(row);
        if (index == selected) DrawSkinTextUtf8(Scaled(kLeft), r.top + Scaled(1), Scaled(kRowText), 700, face, "\xE2\x80\xBA", dc, color, kAlignLeft);
        DrawSkinTextUtf8(Scaled(kRight), r.top + Scaled(1), Scaled(kRowText), weight, face,
                         FitSkinTextTail(Scaled(kRowText), weight, face, text, Scaled(kRight - kLeft - 8)), dc, color,
                         kAlignRight);
    }
}

void CHistoryPage::AddControls(std::vector<PageControl>& controls) const
{
    auto* self = const_cast<CHistoryPage*>(this);
    controls.push_back({ClearRect(), LocalizedText(StringId::HistoryClear, "Clear history"),
                        [self] { self->ClearHistory(); }});
    for (int row = 0; row < ShownRows(); ++row) {
        const int index = FirstShown() + row;
        controls.push_back({RowRect(row), EntrySpoken(static_cast<size_t>(index)),
                            [self, index] {
                                self->Select(index);
                                self->RecallSelected();
                            },
                            EAccessRole::ListItem});
    }
}
