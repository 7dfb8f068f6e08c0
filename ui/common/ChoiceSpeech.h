#pragma once
// What this desktop's screen reader does not say by itself of Qt's own
// controls: the new value of a closed combo box stepped with the arrows, and
// the new state of a check mark toggled from the keyboard.
#include <QString>

class QComboBox;
class QWidget;

// Speaks text through the announcer of widget's window (made when first needed).
void SpeakFor(QWidget* widget, const QString& text);
// Speaks the box's new value (with `also`'s text after it, when given) when
// it changes while the box has the focus and its list is closed.
void SpeakSteppedChoices(QComboBox* box);
// Speaks "checked" or "not checked".
void SpeakCheckState(QWidget* widget, bool checked);
