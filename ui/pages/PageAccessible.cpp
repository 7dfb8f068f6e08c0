#include "ui/pages/PageAccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include <vector>

#include "ui/pages/SkinPage.h"

namespace {

class CButtonAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    CButtonAccessible(CSkinPage* page, int index) : m_page(page), m_index(index) {}

    bool isValid() const override { return m_page && m_index < m_page->AccessibleCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_page ? m_page->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_page); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override
    {
        if (!isValid() || (t != QAccessible::Name && t != QAccessible::Description)) return {};
        return QString::fromStdString(m_page->AccessibleName(m_index));
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!isValid()) return {};
        const SkinRect r = m_page->AccessibleRect(m_index);
        return QRect(m_page->mapToGlobal(ArtToLogical(QPoint(r.left, r.top))),
                     QSize(ArtToLogical(r.Width()), ArtToLogical(r.Height())));
    }
    QAccessible::Role role() const override { return QAccessible::Button; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.invisible = !m_page || !m_page->isVisible();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override
    {
        if (name == pressAction() && isValid()) m_page->AccessiblePress(m_index);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    CSkinPage* m_page;
    int m_index;
};

// A page that shows a value (the display) offers it as its text too, which
// is how screen readers on this desktop read a read-out.
class CPageAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit CPageAccessible(CSkinPage* page) : QAccessibleWidget(page, QAccessible::Grouping) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface && !Page()->AccessibleValue().empty())
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString Value() const { return QString::fromStdString(Page()->AccessibleValue()); }
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override { return Value().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(Value().size()); }
    QRect characterRect(int) const override { return rect(); }
    int offsetAtPoint(const QPoint&) const override { return 0; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override
    {
        *start = 0;
        *end = characterCount();
        return {};
    }
    ~CPageAccessible() override
    {
        for (QAccessible::Id id : m_ids) QAccessible::deleteAccessibleInterface(id);
    }

    CSkinPage* Page() const { return static_cast<CSkinPage*>(widget()); }
    int childCount() const override { return Page()->AccessibleCount(); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount()) return nullptr;
        // Children are made once and kept: screen readers hold on to them.
        while (static_cast<int>(m_ids.size()) <= index) {
            auto* button = new CButtonAccessible(Page(), static_cast<int>(m_ids.size()));
            m_ids.push_back(QAccessible::registerAccessibleInterface(button));
        }
        return QAccessible::accessibleInterface(m_ids[index]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (size_t i = 0; i < m_ids.size(); ++i)
            if (QAccessible::accessibleInterface(m_ids[i]) == child) return static_cast<int>(i);
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        for (int i = 0; i < childCount(); ++i)
            if (child(i)->rect().contains(x, y)) return child(i);
        return nullptr;
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value) return Value();
        return QAccessibleWidget::text(t);
    }

private:
    mutable std::vector<QAccessible::Id> m_ids;
};

QAccessibleInterface* PageFactory(const QString&, QObject* object)
{
    if (auto* page = dynamic_cast<CSkinPage*>(object)) return new CPageAccessible(page);
    return nullptr;
}

}  // namespace

void InstallPageAccessibility()
{
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(PageFactory);
}

void NotifyValueChanged(CSkinPage* page)
{
    if (!page || !QAccessible::isActive()) return;
    const QString value = QString::fromStdString(page->AccessibleValue());
    QAccessibleValueChangeEvent changed(page, value);
    QAccessible::updateAccessibility(&changed);
    QAccessibleTextUpdateEvent text(page, 0, QString(), value);
    QAccessible::updateAccessibility(&text);
}
