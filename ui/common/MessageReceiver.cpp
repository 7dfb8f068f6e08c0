#include "ui/common/MessageReceiver.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

namespace {
const QEvent::Type kWindowMessageEvent = static_cast<QEvent::Type>(QEvent::User + 1);

class CWindowMessage : public QEvent {
public:
    CWindowMessage(unsigned msg, intptr_t w, intptr_t l)
        : QEvent(kWindowMessageEvent), message(msg), wParam(w), lParam(l) {}
    unsigned message;
    intptr_t wParam;
    intptr_t lParam;
};
}  // namespace

CMessageReceiver::CMessageReceiver(QObject* parent, Handler handler)
    : QObject(parent), m_handler(std::move(handler))
{
}

void CMessageReceiver::PostMessage(unsigned msg, intptr_t wParam, intptr_t lParam)
{
    QCoreApplication::postEvent(this, new CWindowMessage(msg, wParam, lParam));
}

intptr_t CMessageReceiver::SendMessage(unsigned msg, intptr_t wParam, intptr_t lParam)
{
    if (QThread::currentThread() == thread())
        m_handler(msg, wParam, lParam);
    else
        QMetaObject::invokeMethod(this, [=, this] { m_handler(msg, wParam, lParam); },
                                  Qt::BlockingQueuedConnection);
    return 0;
}

bool CMessageReceiver::event(QEvent* event)
{
    if (event->type() != kWindowMessageEvent) return QObject::event(event);
    auto* m = static_cast<CWindowMessage*>(event);
    m_handler(m->message, m->wParam, m->lParam);
    return true;
}
