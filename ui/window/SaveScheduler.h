#pragma once
// Saves a short while after anything that may have changed a saved value:
// input to any window of the program (keys, clicks, the wheel, in the main
// window or a dialog), a window moved, a message or a call queued from
// another thread (a download that ended). Watching costs nothing while the
// program is idle: nothing changes then, so it is never woken to save.

#include <QObject>
#include <QTimer>

#include <functional>

class CSaveScheduler : public QObject {
public:
    // Watches the whole application; `save` runs delayMs after the first
    // event since the last save, so steady typing still saves once a delay.
    CSaveScheduler(QObject* parent, std::function<void()> save, int delayMs);

    // A save is waiting for its delay.
    bool Pending() const { return m_timer.isActive(); }
    // Runs the waiting save now (tests step time this way).
    void SaveNow();
    // The same as an event that may change a value.
    void Schedule();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTimer m_timer;
    std::function<void()> m_save;
};
