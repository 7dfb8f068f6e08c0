#include "ui/common/Announcer.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {
QAccessibleInterface* AnnouncerFactory(const QString&, QObject* object)
{
    if (auto* announcer = dynamic_cast<CAnnouncer*>(object))
        return new QAccessibleWidget(announcer, QAccessible::Notification);
    return nullptr;
}

// Before the first announcer is made: its interface is made with it, and kept.
QWidget* WithFactory(QWidget* parent)
{
    static const bool installed = (QAccessible::installFactory(AnnouncerFactory), true);
    (void)installed;
    return parent;
}
}  // namespace

CAnnouncer::CAnnouncer(QWidget* parent) : QWidget(WithFactory(parent))
{
    // An interface made while the widget was still being built is a plain
    // one (the factory could not know it yet): made again, it is a notification.
    if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(this);
        made && made->role() != QAccessible::Notification)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    setFixedSize(0, 0);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void CAnnouncer::Say(const QString& text)
{
    if (!QAccessible::isActive() || text.isEmpty()) return;
    setAccessibleName(text);
    // Showing it again is what makes the screen reader speak it.
    hide();
    show();
}
