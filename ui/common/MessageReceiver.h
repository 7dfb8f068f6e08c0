#pragma once
// Window messages for a Qt object: PostMessage queues them for the object's
// thread; SendMessage handles them at once on that thread and, from another
// thread, waits until they were handled there. Messages still queued when the
// receiver is destroyed are dropped with it.
#include <QObject>

#include <functional>

#include "platform/WindowMessage.h"

class CMessageReceiver : public QObject, public IMessageTarget {
public:
    using Handler = std::function<void(unsigned msg, intptr_t wParam, intptr_t lParam)>;

    CMessageReceiver(QObject* parent, Handler handler);

    void PostMessage(unsigned msg, intptr_t wParam, intptr_t lParam) override;
    intptr_t SendMessage(unsigned msg, intptr_t wParam, intptr_t lParam) override;

protected:
    bool event(QEvent* event) override;

private:
    Handler m_handler;
};
