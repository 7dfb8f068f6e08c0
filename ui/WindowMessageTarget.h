#pragma once
// An address for numbered messages to something that lives on the interface
// thread: a page's list choices, the rates download's notifications. The
// handler runs on the thread that made the target.
//
// PostMessage queues and returns. SendMessage from the same thread calls the
// handler at once; from another thread it waits until the handler has run or
// the target was closed, so a worker never waits on a page that is gone.

#include <QObject>

#include <functional>
#include <memory>

#include "platform/WindowMessage.h"

class CWindowMessageTarget : public QObject, public IMessageTarget {
public:
    using Handler = std::function<void(unsigned msg, intptr_t wParam, intptr_t lParam)>;

    explicit CWindowMessageTarget(Handler handler);
    // Closes the target.
    ~CWindowMessageTarget() override;

    void PostMessage(unsigned msg, intptr_t wParam, intptr_t lParam) override;
    intptr_t SendMessage(unsigned msg, intptr_t wParam, intptr_t lParam) override;
    // From now on messages are dropped, queued ones too; waiting senders return.
    // Call it on the target's own thread.
    void Close();

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
};
