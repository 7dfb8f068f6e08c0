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
}  // namespace

CAnnouncer::CAnnouncer(QWidget* parent) : QWidget(parent)
{
    static const bool installed = (QAccessible::installFactory(AnnouncerFactory), true);
    (void)installed;
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
