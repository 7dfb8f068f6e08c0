#include "ui/options/SkinReportList.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStandardItemModel>
#include <QStyledItemDelegate>

#include <algorithm>

#include "ui/common/ChoiceSpeech.h"

namespace {
constexpr int kValueRole = Qt::UserRole + 1;
constexpr int kImageRole = Qt::UserRole + 2;
constexpr int kImageWidth = 18;
constexpr int kImageHeight = 16;

// The check image doubles as the item's check state for screen readers.
class CReportModel : public QStandardItemModel {
public:
    explicit CReportModel(QObject* parent) : QStandardItemModel(parent) {}

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role == Qt::CheckStateRole && index.column() == 0) {
            const QVariant image = QStandardItemModel::data(index, kImageRole);
            if (!image.isValid() || image.toInt() == CSkinReportList::kNoImage) return {};
            return image.toInt() == CSkinReportList::kChecked ? Qt::Checked : Qt::Unchecked;
        }
        return QStandardItemModel::data(index, role);
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (role == Qt::CheckStateRole && index.column() == 0) {
            const bool check = value.toInt() == Qt::Checked;
            // Every way of ticking a row (click, Space, a screen reader's
            // action) meets the list's own refusal here.
            auto* list = dynamic_cast<CSkinReportList*>(QObject::parent());
            if (check && list && list->allowCheck && data(index, role) != Qt::Checked &&
                !list->allowCheck(index.row()))
                return false;
            return QStandardItemModel::setData(index, check ? CSkinReportList::kChecked : CSkinReportList::kUnchecked,
                                               kImageRole);
        }
        return QStandardItemModel::setData(index, value, role);
    }
};

void DrawCheckImage(QPainter& p, const QRect& area, bool checked, bool selected, const QPalette& palette)
{
    const int side = std::min(area.width(), area.height()) - 3;
    const QRect box(area.left() + (area.width() - side) / 2, area.top() + (area.height() - side) / 2, side, side);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink = palette.color(QPalette::Text);
    p.setPen(QPen(ink, std::max(1, side / 12)));
    p.setBrush(palette.color(QPalette::Base));
    p.drawRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5));
    if (checked) {
        QPainterPath tick;
        tick.moveTo(box.left() + side * 0.2, box.top() + side * 0.5);
        tick.lineTo(box.left() + side * 0.42, box.top() + side * 0.75);
        tick.lineTo(box.left() + side * 0.82, box.top() + side * 0.25);
        p.setPen(QPen(ink, std::max(2.0, side / 6.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
    }
    if (selected) {
        // The selected look: the image tinted with the highlight.
        QColor tint = palette.color(QPalette::Highlight);
        tint.setAlpha(90);
        p.fillRect(box, tint);
    }
    p.restore();
}
}  // namespace

QString ShortenToFit(const QString& text, int width, const QFontMetrics& metrics)
{
    if (metrics.horizontalAdvance(text) <= width) return text;
    const QString dots = QStringLiteral("...");
    QString head = text;
    while (!head.isEmpty()) {
        head.chop(head.size() >= 2 && head.back().isLowSurrogate() ? 2 : 1);
        if (metrics.horizontalAdvance(head + dots) <= width) break;
    }
    return head + dots;
}

class CReportRowDelegate : public QStyledItemDelegate {
public:
    explicit CReportRowDelegate(CSkinReportList* list) : QStyledItemDelegate(list), m_list(list) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), m_list->RowHeight()};
    }
    bool editorEvent(QEvent*, QAbstractItemModel*, const QStyleOptionViewItem&, const QModelIndex&) override
    {
        return false;  // the list toggles checks itself
    }
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette& pal = option.palette;
        p->save();
        p->fillRect(option.rect, pal.color(selected ? QPalette::Highlight : QPalette::Base));
        p->setClipRect(option.rect);
        const QFontMetrics fm(option.font);
        const int space = fm.horizontalAdvance(QLatin1Char(' '));
        QRect text = option.rect;
        if (index.column() == 0) {
            const QVariant image = index.data(kImageRole);
            if (m_list->m_checkImages && image.isValid() && image.toInt() != CSkinReportList::kNoImage) {
                const QRect icon = m_list->IconRect(index.row());
                DrawCheckImage(*p, icon, image.toInt() == CSkinReportList::kChecked, selected, pal);
                text.setLeft(icon.right() + 1);
            }
            text.adjust(2 * space, 0, -space, 0);
        } else {
            text.adjust(2 * space, 0, -2 * space, 0);
        }
        const size_t column = static_cast<size_t>(index.column());
        const Qt::Alignment align = column < m_list->m_alignments.size() ? m_list->m_alignments[column]
                                                                         : Qt::AlignLeft;
        p->setFont(option.font);
        p->setPen(pal.color(selected ? QPalette::HighlightedText : QPalette::Text));
        p->drawText(text, static_cast<int>(align | Qt::AlignVCenter),
                    ShortenToFit(index.data(Qt::DisplayRole).toString(), text.width(), fm));
        p->restore();
    }

private:
    CSkinReportList* m_list;
};

CSkinReportList::CSkinReportList(QWidget* parent, int doubleScale, bool checkImages)
    : QTreeView(parent),
      m_model(new CReportModel(this)),
      m_doubleScale(doubleScale ? 1 : 0),
      m_checkImages(checkImages),
      m_rowHeight(Scaled(25))
{
    setModel(m_model);
    setItemDelegate(new CReportRowDelegate(this));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (onSelectionChanged) onSelectionChanged(SelectedRow());
    });
}

void CSkinReportList::AddColumn(const QString& title, int width, Qt::Alignment alignment)
{
    const int column = m_model->columnCount();
    m_model->setColumnCount(column + 1);
    m_model->setHeaderData(column, Qt::Horizontal, title);
    m_model->setHeaderData(column, Qt::Horizontal, QVariant::fromValue(alignment | Qt::AlignVCenter),
                           Qt::TextAlignmentRole);
    m_alignments.push_back(alignment);
    header()->resizeSection(column, Scaled(width));
}

int CSkinReportList::ColumnsWidth() const
{
    int total = 0;
    for (int c = 0; c < m_model->columnCount(); ++c) total += header()->sectionSize(c);
    return total;
}

void CSkinReportList::FitColumn(int column)
{
    const QFontMetrics fm(font());
    const int space = fm.horizontalAdvance(QLatin1Char(' '));
    int widest = 0;
    for (int r = 0; r < Count(); ++r) widest = std::max(widest, fm.horizontalAdvance(Text(r, column)));
    int needed = widest + (column == 0 ? 3 : 4) * space;
    if (column == 0 && m_checkImages) needed += Scaled(2 + kImageWidth);
    if (needed > header()->sectionSize(column)) header()->resizeSection(column, needed);
}

void CSkinReportList::SetToolTip(int row, const QString& text)
{
    for (int c = 0; c < m_model->columnCount(); ++c) m_model->setData(m_model->index(row, c), text, Qt::ToolTipRole);
}

int CSkinReportList::InsertRow(int index, const std::vector<QString>& texts, int itemValue, int image)
{
    index = std::clamp(index, 0, Count());
    QList<QStandardItem*> items;
    const int columns = std::max(1, m_model->columnCount());
    for (int c = 0; c < columns; ++c) {
        auto* item = new QStandardItem(static_cast<size_t>(c) < texts.size() ? texts[static_cast<size_t>(c)] : QString());
        Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
        if (c == 0 && m_checkImages) flags |= Qt::ItemIsUserCheckable;
        item->setFlags(flags);
        items.append(item);
    }
    items[0]->setData(itemValue, kValueRole);
    items[0]->setData(image, kImageRole);
    m_model->insertRow(index, items);
    return index;
}

void CSkinReportList::Clear() { m_model->removeRows(0, m_model->rowCount()); }

int CSkinReportList::Count() const { return m_model->rowCount(); }

QString CSkinReportList::Text(int row, int column) const { return m_model->index(row, column).data().toString(); }

int CSkinReportList::ItemValue(int row) const { return m_model->index(row, 0).data(kValueRole).toInt(); }

int CSkinReportList::Image(int row) const
{
    const QVariant image = m_model->index(row, 0).data(kImageRole);
    return image.isValid() ? image.toInt() : kNoImage;
}

void CSkinReportList::SetImage(int row, int image)
{
    if (row >= 0 && row < Count()) m_model->setData(m_model->index(row, 0), image, kImageRole);
}

int CSkinReportList::SelectedRow() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CSkinReportList::SelectRow(int row)
{
    if (row < 0 || row >= Count()) return;
    const QModelIndex index = m_model->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

int CSkinReportList::MoveItem(int from, int to)
{
    if (from < 0 || from >= Count() || to < 0 || to >= Count()) return 0;
    const QList<QStandardItem*> items = m_model->takeRow(from);
    m_model->insertRow(to, items);
    SelectRow(to);
    return 1;
}

QRect CSkinReportList::IconRect(int row) const
{
    if (!m_checkImages || row < 0 || row >= Count()) return {};
    const QRect cell = visualRect(m_model->index(row, 0));
    if (!cell.isValid()) return {};
    const int w = Scaled(kImageWidth), h = Scaled(kImageHeight);
    return {cell.left() + Scaled(2), cell.top() + (cell.height() - h) / 2, w, h};
}

void CSkinReportList::ToggleImage(int row)
{
    m_model->setData(m_model->index(row, 0), Image(row) == kUnchecked ? Qt::Checked : Qt::Unchecked,
                     Qt::CheckStateRole);
}

void CSkinReportList::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    const int row = indexAt(at).row();
    if (row >= 0 && IconRect(row).contains(at)) ToggleImage(row);
    QTreeView::mousePressEvent(event);
}

void CSkinReportList::keyPressEvent(QKeyEvent* event)
{
    if (m_checkImages && event->key() == Qt::Key_Space && SelectedRow() >= 0) {
        ToggleImage(SelectedRow());
        SpeakCheckState(this, Image(SelectedRow()) == kChecked);
        return;
    }
    QTreeView::keyPressEvent(event);
}

void CSkinReportList::focusInEvent(QFocusEvent* event)
{
    QTreeView::focusInEvent(event);
    viewport()->update();
}

void CSkinReportList::focusOutEvent(QFocusEvent* event)
{
    QTreeView::focusOutEvent(event);
    viewport()->update();
}

void CSkinReportList::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QTreeView::drawRow(painter, option, index);
    if (!hasFocus() || !selectionModel()->isRowSelected(index.row(), index.parent())) return;
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = QRect(option.rect.left(), option.rect.top(), std::min(ColumnsWidth(), option.rect.width()),
                       option.rect.height());
    focus.backgroundColor = palette().color(QPalette::Highlight);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, this);
}
