#include "ui/pages/PageAccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include <string>
#include <vector>

#include "ui/pages/GroupMenuPopup.h"
#include "ui/pages/SkinPage.h"

namespace {

QAccessible::Role RoleOf(EAccessRole role)
{
    switch (role) {
    case EAccessRole::ComboBox: return QAccessible::ComboBox;
    case EAccessRole::Label: return QAccessible::StaticText;
    // A read-only text: screen readers speak its changes, not a label's.
    case EAccessRole::ReadOut: return QAccessible::EditableText;
    case EAccessRole::MenuItem: return QAccessible::MenuItem;
    case EAccessRole::Separator: return QAccessible::Separator;
    case EAccessRole::ListItem: return QAccessible::ListItem;
    default: return QAccessible::Button;
    }
}

// A read-only text: what a combo box shows as its choice.
class CReadOnlyText : public QAccessibleTextInterface {
public:
    virtual QString Shown() const = 0;
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override { return Shown().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(Shown().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return 0; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override
    {
        *start = 0;
        *end = characterCount();
        return {};
    }
};

class CButtonAccessible : public QAccessibleInterface, public QAccessibleActionInterface, public CReadOnlyText {
public:
    CButtonAccessible(CSkinPage* page, int index) : m_page(page), m_index(index) {}

    // A control of a page out of view is gone for the screen reader that
    // still holds it: pressing it would act on a page the user left.
    bool isValid() const override
    {
        return m_page && m_page->isVisible() && m_index < m_page->AccessibleCount();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_page ? m_page->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_page); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override
    {
        if (!isValid()) return {};
        if (t == QAccessible::Name) return QString::fromStdString(m_page->AccessibleName(m_index));
        // A combo box shows its choice as its text, not again as a description.
        if (t == QAccessible::Description && Role() != EAccessRole::ComboBox)
            return QString::fromStdString(m_page->AccessibleDescription(m_index));
        if (t == QAccessible::Value && Role() == EAccessRole::ComboBox) return Shown();
        return {};
    }
    QString Shown() const override { return isValid() ? QString::fromStdString(m_page->AccessibleDescription(m_index)) : QString(); }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!isValid()) return {};
        const SkinRect r = m_page->AccessibleRect(m_index);
        return QRect(m_page->mapToGlobal(ArtToLogical(QPoint(r.left, r.top))),
                     QSize(ArtToLogical(r.Width()), ArtToLogical(r.Height())));
    }
    EAccessRole Role() const { return isValid() ? m_page->AccessibleRole(m_index) : EAccessRole::Button; }
    QAccessible::Role role() const override { return RoleOf(Role()); }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        const bool shown = m_page && m_page->isVisible();
        s.invisible = !shown;
        if (!isValid()) return s;
        s.focusable = Role() != EAccessRole::Separator;
        s.disabled = !m_page->AccessibleEnabled(m_index);
        s.focused = shown && m_page->AccessibleFocus() == m_index && m_page->window()->isActiveWindow();
        if (Role() == EAccessRole::ComboBox) s.hasPopup = 1;
        if (Role() == EAccessRole::ListItem) {
            s.selectable = 1;
            s.selected = m_page->AccessibleFocus() == m_index;
        }
        const int checked = m_page->AccessibleChecked(m_index);
        s.checkable = checked >= 0;
        s.checked = checked > 0;
        if (Role() == EAccessRole::ReadOut) s.readOnly = 1;
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ActionInterface && Role() != EAccessRole::Label && Role() != EAccessRole::ReadOut &&
            Role() != EAccessRole::Separator)
            return static_cast<QAccessibleActionInterface*>(this);
        if (type == QAccessible::TextInterface && Role() == EAccessRole::ComboBox)
            return static_cast<QAccessibleTextInterface*>(this);
        return nullptr;
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

// A page that shows a value (a converter's result) offers it as its text too.
class CPageAccessible : public QAccessibleWidget, public CReadOnlyText {
public:
    explicit CPageAccessible(CSkinPage* page)
        : QAccessibleWidget(page, dynamic_cast<CGroupMenuPopup*>(page) ? QAccessible::PopupMenu
                                                                       : QAccessible::Grouping)
    {
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface && !Page()->AccessibleValue().empty())
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString Shown() const override { return QString::fromStdString(Page()->AccessibleValue()); }
    ~CPageAccessible() override
    {
        for (QAccessible::Id id : m_ids) QAccessible::deleteAccessibleInterface(id);
    }

    CSkinPage* Page() const { return static_cast<CSkinPage*>(widget()); }
    // A page out of view has nothing to read; the open group menu is the
    // last child of the page whose button opened it.
    int ControlCount() const { return Page()->isVisible() ? Page()->AccessibleCount() : 0; }
    CGroupMenuPopup* Popup() const
    {
        CGroupMenuPopup* popup = CGroupMenuPopup::Current();
        return popup && popup->Owner() == Page() && Page()->isVisible() ? popup : nullptr;
    }
    int childCount() const override { return ControlCount() + (Popup() ? 1 : 0); }
    QAccessibleInterface* child(int index) const override
    {
        if (index == ControlCount() && Popup()) return QAccessible::queryAccessibleInterface(Popup());
        if (index < 0 || index >= ControlCount()) return nullptr;
        // Children are made once and kept: screen readers hold on to them.
        while (static_cast<int>(m_ids.size()) <= index) {
            auto* button = new CButtonAccessible(Page(), static_cast<int>(m_ids.size()));
            m_ids.push_back(QAccessible::registerAccessibleInterface(button));
        }
        return QAccessible::accessibleInterface(m_ids[index]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (child && Popup() && child->object() == Popup()) return ControlCount();
        for (size_t i = 0; i < m_ids.size(); ++i)
            if (QAccessible::accessibleInterface(m_ids[i]) == child) return static_cast<int>(i);
        return -1;
    }
    QAccessibleInterface* parent() const override
    {
        if (auto* popup = dynamic_cast<CGroupMenuPopup*>(Page()))
            if (popup->Owner()) return QAccessible::queryAccessibleInterface(popup->Owner());
        return QAccessibleWidget::parent();
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        for (int i = 0; i < ControlCount(); ++i)
            if (child(i)->rect().contains(x, y)) return child(i);
        return nullptr;
    }
    QAccessibleInterface* focusChild() const override
    {
        const int focus = Page()->AccessibleFocus();
        return focus >= 0 && focus < ControlCount() ? child(focus) : nullptr;
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value) return Shown();
        return QAccessibleWidget::text(t);
    }

    // What screen readers were last told of each control: name, description.
    std::vector<std::pair<QString, QString>> told;
    // The checked state last told (a memory-mode key's).
    std::vector<int> toldChecked;

private:
    mutable std::vector<QAccessible::Id> m_ids;
};

QAccessibleInterface* PageFactory(const QString& className, QObject* object)
{
    if (auto* page = dynamic_cast<CSkinPage*>(object)) return new CPageAccessible(page);
    // The program's window is a plain widget: to screen readers a frame, not a filler.
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget && className == QLatin1String("QWidget") && widget->windowType() == Qt::Window)
        return new QAccessibleWidget(widget, QAccessible::Window);
    return nullptr;
}

CPageAccessible* PageInterface(CSkinPage* page)
{
    if (!page || !QAccessible::isActive()) return nullptr;
    return dynamic_cast<CPageAccessible*>(QAccessible::queryAccessibleInterface(page));
}

void RefreshCheckedStates(CSkinPage* page, CPageAccessible* iface)
{
    auto& told = iface->toldChecked;
    const int count = iface->ControlCount();
    told.resize(count, -1);
    for (int i = 0; i < count; ++i) {
        const int checked = page->AccessibleChecked(i);
        if (checked == told[i]) continue;
        if (told[i] >= 0 && checked >= 0) {
            QAccessible::State changed;
            changed.checked = true;
            QAccessibleStateChangeEvent event(iface->child(i), changed);
            QAccessible::updateAccessibility(&event);
        }
        told[i] = checked;
    }
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
    if (!PageInterface(page)) return;
    const std::string shown = page->AccessibleValue();
    if (shown.empty()) return;
    const QString value = QString::fromStdString(shown);
    QAccessibleValueChangeEvent changed(page, value);
    QAccessible::updateAccessibility(&changed);
}

void RefreshAccessibleNames(CSkinPage* page)
{
    CPageAccessible* iface = PageInterface(page);
    if (!iface) return;
    const int count = iface->ControlCount();
    auto& told = iface->told;
    for (int i = 0; i < count; ++i) {
        QAccessibleInterface* child = iface->child(i);
        const QString name = child->text(QAccessible::Name);
        const QString description = QString::fromStdString(page->AccessibleDescription(i));
        if (i >= static_cast<int>(told.size())) {
            told.emplace_back(name, description);
            continue;
        }
        if (told[i].first != name) {
            QAccessibleEvent event(child, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&event);
        }
        if (told[i].second != description && child->role() == QAccessible::ComboBox) {
            // The shown choice is the combo box's text.
            QAccessibleTextUpdateEvent changed(child, 0, told[i].second, description);
            QAccessible::updateAccessibility(&changed);
        } else if (told[i].second != description) {
            QAccessibleEvent event(child, QAccessible::DescriptionChanged);
            QAccessible::updateAccessibility(&event);
        }
        told[i] = {name, description};
    }
    RefreshCheckedStates(page, iface);
}

void NotifyAccessibleFocus(CSkinPage* page)
{
    CPageAccessible* iface = PageInterface(page);
    if (!iface || !page->isVisible()) return;
    RefreshAccessibleNames(page);
    QAccessibleInterface* focus = iface->focusChild();
    QAccessibleEvent event(focus ? focus : iface, QAccessible::Focus);
    QAccessible::updateAccessibility(&event);
}
