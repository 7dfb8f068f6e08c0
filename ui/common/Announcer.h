#pragma once
// Speaks a short text through the screen reader without moving its focus:
// an invisible notification that is shown anew for each text (what this
// desktop's screen readers present as it appears).
#include <QWidget>

class CAnnouncer : public QWidget {
public:
    explicit CAnnouncer(QWidget* parent);
    void Say(const QString& text);
};
