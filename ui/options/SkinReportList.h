#pragma once
// A list in report form whose rows the program draws itself: full-row
// selection, rows 25 pixels high (50 at double scale), texts that do not fit
// shortened with "...", and optionally a check image per row that a click on
// it toggles. Each row holds the texts of its columns, a 32-bit item value and
// an image index: 0 checked, 1 unchecked (-1 none).
//
// Screen readers see an ordinary table whose rows are checkable items; Space
// toggles the selected row's check as a click on its image does.

#include <QTreeView>

#include <functional>
#include <vector>

class QStandardItemModel;
class QFontMetrics;

class CSkinReportList : public QTreeView {
public:
    enum { kNoImage = -1, kChecked = 0, kUnchecked = 1 };

    // doubleScale: row height, column widths and images doubled.
    CSkinReportList(QWidget* parent, int doubleScale, bool checkImages);

    // width is at normal scale.
    void AddColumn(const QString& title, int width, Qt::Alignment alignment = Qt::AlignLeft);
    // Inserts a row at index (clamped to 0..count); returns its index.
    int InsertRow(int index, const std::vector<QString>& texts, int itemValue, int image = kNoImage);
    void Clear();
    int Count() const;
    QString Text(int row, int column = 0) const;
    int ItemValue(int row) const;
    int Image(int row) const;
    void SetImage(int row, int image);
    // -1 when no row is selected.
    int SelectedRow() const;
    void SelectRow(int row);

    // Moves one row with its texts, item value and image to another index
    // and selects it there; 0 when either index is out of range.
    int MoveItem(int from, int to);
    int MoveUp(int row) { return row > 0 ? MoveItem(row, row - 1) : 0; }
    int MoveDown(int row) { return row < Count() - 1 ? MoveItem(row, row + 1) : 0; }
    int MoveToTop(int row) { return MoveItem(row, 0); }
    int MoveToBottom(int row) { return MoveItem(row, Count() - 1); }

    // Where a row's check image is drawn (viewport coordinates); empty
    // without check images or for a row that is not shown.
    QRect IconRect(int row) const;
    int RowHeight() const { return m_rowHeight; }
    int Scaled(int v) const { return m_doubleScale ? 2 * v : v; }
    // Widths of the columns together (scaled).
    int ColumnsWidth() const;
    // Widens a column so that none of its texts needs shortening.
    void FitColumn(int column);
    void SetToolTip(int row, const QString& text);

    // Called with the selected row (-1 for none) whenever the selection changes.
    std::function<void(int row)> onSelectionChanged;
    // Asked before the user ticks a row; false leaves it unticked. SetImage
    // is not asked.
    std::function<bool(int row)> allowCheck;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    friend class CReportRowDelegate;
    void ToggleImage(int row);

    QStandardItemModel* m_model;
    int m_doubleScale;
    bool m_checkImages;
    int m_rowHeight;
    std::vector<Qt::Alignment> m_alignments;
};

// text as it fits into width: whole, or its longest prefix followed by "..."
// that fits (just "..." when nothing more does).
QString ShortenToFit(const QString& text, int width, const QFontMetrics& metrics);
