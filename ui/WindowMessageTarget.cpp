#include "ui/WindowMessageTarget.h"

#include <QThread>

#include <condition_variable>
#include <mutex>

struct CWindowMessageTarget::Shared {
    Handler handler;
    std::mutex lock;
    std::condition_variable handled;
    bool closed = false;

    // On the target's thread.
    void Deliver(unsigned msg, intptr_t wParam, intptr_t lParam)
    {
        {
            std::lock_guard<std::mutex> guard(lock);
            if (closed) return;
        }
        handler(msg, wParam, lParam);
    }
};

CWindowMessageTarget::CWindowMessageTarget(Handler handler) : m_shared(std::make_shared<Shared>())
{
    m_shared->handler = std::move(handler);
}

CWindowMessageTarget::~CWindowMessageTarget() { Close(); }

void CWindowMessageTarget::Close()
{
    {
        std::lock_guard<std::mutex> guard(m_shared->lock);
        m_shared->closed = true;
    }
    m_shared->handled.notify_all();
}

void CWindowMessageTarget::PostMessage(unsigned msg, intptr_t wParam, intptr_t lParam)
{
    // Queued calls die with this object, and a closed target drops them.
    std::shared_ptr<Shared> shared = m_shared;
    QMetaObject::invokeMethod(
        this, [shared, msg, wParam, lParam] { shared->Deliver(msg, wParam, lParam); }, Qt::QueuedConnection);
}

intptr_t CWindowMessageTarget::SendMessage(unsigned msg, intptr_t wParam, intptr_t lParam)
{
    std::shared_ptr<Shared> shared = m_shared;
    if (QThread::currentThread() == thread()) {
        shared->Deliver(msg, wParam, lParam);
        return 0;
    }
    auto done = std::make_shared<bool>(false);
    {
        std::lock_guard<std::mutex> guard(shared->lock);
        if (shared->closed) return 0;
    }
    QMetaObject::invokeMethod(
        this,
        [shared, done, msg, wParam, lParam] {
            shared->Deliver(msg, wParam, lParam);
            {
                std::lock_guard<std::mutex> guard(shared->lock);
                *done = true;
            }
            shared->handled.notify_all();
        },
        Qt::QueuedConnection);
    // Only the shared state is touched from here on: the target may be gone.
    std::unique_lock<std::mutex> guard(shared->lock);
    shared->handled.wait(guard, [&] { return *done || shared->closed; });
    return 0;
}
