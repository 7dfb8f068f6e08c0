#include "ui/pages/SkinListButton.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>

#include <algorithm>

#include "skins/SkinResources.h"
#include "ui/pages/SkinPage.h"

class CSkinListButton::CDropList : public QListWidget {
public:
    CDropList(CSkinListButton& owner, QWidget* parent) : QListWidget(parent), m_owner(owner)
    {
        setFrameShape(QFrame::Box);
        setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setUniformItemSizes(true);
        setSelectionMode(QAbstractItemView::SingleSelection);
        setMouseTracking(true);
        connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { m_owner.ChooseEntry(row(item)); });
    }

protected:
    void mouseMoveEvent(QMouseEvent* event) override
    {
        QListWidget::mouseMoveEvent(event);
        // The entry under a moving pointer is the one a click chooses. A
        // resting pointer (the list scrolled under it, or opened over it)
        // leaves the keyboard's entry alone.
        const QPoint at = event->globalPosition().toPoint();
        if (at == m_pointer) return;
        m_pointer = at;
        if (QListWidgetItem* item = itemAt(event->position().toPoint())) setCurrentItem(item);
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space: m_owner.ChooseEntry(currentRow()); return;
        case Qt::Key_Escape:
        case Qt::Key_Tab:
        case Qt::Key_Backtab: m_owner.Close(); return;
        default: break;
        }
        QListWidget::keyPressEvent(event);
        // Keys of the list stay with the list (the window would take them as calculator keys).
        event->accept();
    }
    void keyReleaseEvent(QKeyEvent* event) override
    {
        // The window switches groups when Up or Down is released.
        QListWidget::keyReleaseEvent(event);
        event->accept();
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        QListWidget::focusOutEvent(event);
        // A list left open without the focus would hang over the keypad.
        if (m_owner.IsOpen() && event->reason() != Qt::PopupFocusReason) m_owner.Close();
    }
    void showEvent(QShowEvent* event) override
    {
        QListWidget::showEvent(event);
        m_pointer = QCursor::pos();
        qApp->installEventFilter(this);
    }
    void hideEvent(QHideEvent* event) override
    {
        qApp->removeEventFilter(this);
        QListWidget::hideEvent(event);
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // A press anywhere but on the list or on its page (which decides for
        // itself) closes the list.
        if (event->type() == QEvent::MouseButtonPress && m_owner.IsOpen()) {
            auto* widget = qobject_cast<QWidget*>(watched);
            const bool inside = widget && (widget == this || isAncestorOf(widget) ||
                                           widget == static_cast<QWidget*>(m_owner.m_page));
            if (widget && !inside) m_owner.Close();
        }
        return QListWidget::eventFilter(watched, event);
    }

private:
    CSkinListButton& m_owner;
    QPoint m_pointer;  // where the pointer was last seen, global
};

CSkinListButton::CSkinListButton(CSkinResources* resources) : CSkinButton(resources) {}

CSkinListButton::~CSkinListButton()
{
    delete m_list.data();
}

int CSkinListButton::CreateListButton(int x, int y, const char* section, CSkinPage* host,
                                      IMessageTarget* target, unsigned message, int maxHeight, int sizeSet)
{
    if (!host || !Create(x, y, section, host, target, message, sizeSet)) return 0;
    m_page = host;
    m_maxHeight = maxHeight;
    m_parent = host->parentWidget() ? host->parentWidget() : host;
    m_font = m_parent->font();
    m_font.setPixelSize(ArtToLogical(Resources().Scaled(12)));
    return 1;
}

QListWidget* CSkinListButton::EnsureList() const
{
    if (m_list || !m_parent) return m_list.data();
    auto* self = const_cast<CSkinListButton*>(this);
    m_list = new CDropList(*self, m_parent);
    m_list->setFont(m_font);
    m_list->hide();
    m_list->setEnabled(false);
    m_list->addItems(m_entries);
    if (m_selection >= 0) m_list->setCurrentRow(m_selection);
    m_list->setGeometry(ListGeometry());
    return m_list.data();
}

QListWidget* CSkinListButton::ListBox() const { return EnsureList(); }

int CSkinListButton::EntryCount() const { return static_cast<int>(m_entries.size()); }

std::string CSkinListButton::Entry(int index) const
{
    if (index < 0 || index >= EntryCount()) return {};
    return m_entries[index].toStdString();
}

int CSkinListButton::Selection() const { return m_selection; }

int CSkinListButton::EntryHeight() const
{
    QListWidget* list = EnsureList();
    if (!list) return 0;
    if (list->count() > 0) return list->sizeHintForRow(0);
    return QFontMetrics(list->font()).height();
}

QRect CSkinListButton::ListGeometry() const
{
    const int count = EntryCount();
    int height = count > 0 ? EntryHeight() * (count + 1) : kEmptyHeight;
    height = std::min(height, ArtToLogical(m_maxHeight));
    // The list is a widget: logical pixels, where the button is in art pixels.
    QPoint at = ArtToLogical(QPoint(ButtonRect().left, ButtonRect().bottom));
    if (m_page && m_parent && m_parent != m_page) at = m_page->mapTo(m_parent, at);
    // Kept inside the window, so a wide list is not cut off at the right.
    if (m_parent) {
        const int room = m_parent->width() - m_listWidth;
        if (at.x() > room) at.setX(std::max(0, room));
    }
    return QRect(at, QSize(m_listWidth, height));
}

void CSkinListButton::Layout()
{
    if (m_list) m_list->setGeometry(ListGeometry());
}

int CSkinListButton::MeasureWidth(const QString& entry) const
{
    const QFontMetrics metrics(m_font);
    QStyle* style = m_parent ? m_parent->style() : QApplication::style();
    const int scrollBar = style->pixelMetric(QStyle::PM_ScrollBarExtent);
    // The frame (a one-pixel box) and the item's text margins come on top,
    // or the entry would be cut.
    const int chrome = 2 + 2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
    return metrics.horizontalAdvance(entry) + scrollBar + metrics.horizontalAdvance(QStringLiteral("0")) + chrome;
}

void CSkinListButton::AddEntry(int index, const std::string& text)
{
    if (!m_parent) return;
    const QString entry = QString::fromStdString(text);
    const int at = index < 0 ? EntryCount() : std::min(index, EntryCount());
    m_entries.insert(at, entry);
    if (m_selection >= at) ++m_selection;
    if (m_list) m_list->insertItem(at, entry);
    const int needed = MeasureWidth(entry);
    if (needed > m_listWidth && needed < ArtToLogical(Resources().Scaled(240))) m_listWidth = needed;
    Layout();
}

void CSkinListButton::ResetEntries()
{
    if (!m_parent) return;
    m_entries.clear();
    m_selection = -1;
    if (m_list) m_list->clear();
    m_listWidth = kStartWidth;
    Layout();
}

void CSkinListButton::SelectEntry(int index)
{
    m_selection = index >= 0 && index < EntryCount() ? index : -1;
    // A closed list follows when it opens: its row changing while hidden
    // would draw the screen reader into it.
    if (!m_list || !m_open) return;
    if (index < 0 || index >= m_list->count()) {
        m_list->setCurrentRow(-1);
        m_list->clearSelection();
        return;
    }
    m_list->setCurrentRow(index);
    m_list->scrollToItem(m_list->item(index));
}

int CSkinListButton::OnMouseDown(int x, int y)
{
    if (!ButtonRect().Contains(x, y)) {
        if (m_open) Close();
        return 0;
    }
    if (m_open)
        Close();
    else
        Open();
    return 1;
}

void CSkinListButton::Open()
{
    if (!EnsureList() || m_open) return;
    m_open = 1;
    SetPressed(1);
    m_list->setEnabled(true);
    m_list->setCurrentRow(m_selection);
    if (m_selection < 0) m_list->clearSelection();
    Layout();
    m_list->show();
    m_list->raise();
    if (m_list->currentItem()) m_list->scrollToItem(m_list->currentItem());
    m_list->setFocus(Qt::PopupFocusReason);
}

void CSkinListButton::Close()
{
    if (!m_list || !m_open) return;
    m_open = 0;
    SetPressed(0);
    const bool hadFocus = m_list->hasFocus();
    // Closed without a choice: the list shows the chosen entry again, and
    // opens on it next time.
    if (m_list->currentRow() != m_selection) m_list->setCurrentRow(m_selection);
    m_list->hide();
    m_list->setEnabled(false);
    if (hadFocus && m_list->parentWidget()) m_list->parentWidget()->setFocus(Qt::OtherFocusReason);
}

void CSkinListButton::ChooseEntry(int index)
{
    if (index < 0 || index >= EntryCount()) return;
    SelectEntry(index);
    Close();
    if (m_target) m_target->PostMessage(m_message, index, 0);
}

void CSkinListButton::RedrawList()
{
    if (m_list && m_list->isVisible()) m_list->viewport()->update();
}
