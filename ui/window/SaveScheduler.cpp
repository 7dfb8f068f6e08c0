#include "ui/window/SaveScheduler.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

CSaveScheduler::CSaveScheduler(QObject* parent, std::function<void()> save, int delayMs)
    : QObject(parent), m_save(std::move(save))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(delayMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { m_save(); });
    QCoreApplication::instance()->installEventFilter(this);
}

void CSaveScheduler::Schedule()
{
    if (!m_timer.isActive()) m_timer.start();
}

void CSaveScheduler::SaveNow()
{
    if (!m_timer.isActive()) return;
    m_timer.stop();
    m_save();
}

bool CSaveScheduler::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonRelease:
    case QEvent::Wheel:
    case QEvent::MetaCall: Schedule(); break;
    case QEvent::Move:
        if (watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow()) Schedule();
        break;
    default:
        if (event->type() >= QEvent::User) Schedule();
        break;
    }
    return QObject::eventFilter(watched, event);
}
