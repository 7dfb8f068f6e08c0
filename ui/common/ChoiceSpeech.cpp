#include "ui/common/ChoiceSpeech.h"

#include <QAbstractItemView>
#include <QComboBox>

#include "strings/Language.h"
#include "strings/StringIds.h"
#include "ui/common/Announcer.h"

void SpeakFor(QWidget* widget, const QString& text)
{
    QWidget* top = widget->window();
    // Not findChild: without its own meta-object any widget would pass for an announcer.
    CAnnouncer* announcer = nullptr;
    for (QObject* child : top->children())
        if (!announcer) announcer = dynamic_cast<CAnnouncer*>(child);
    if (!announcer) announcer = new CAnnouncer(top);
    announcer->Say(text);
}

void SpeakSteppedChoices(QComboBox* box)
{
    QObject::connect(box, &QComboBox::currentIndexChanged, box, [box](int) {
        // An open list speaks its own rows; a change made by the program is not the user's.
        if (!box->hasFocus() || box->view()->isVisible()) return;
        SpeakFor(box, box->currentText());
    });
}

void SpeakCheckState(QWidget* widget, bool checked)
{
    SpeakFor(widget, QString::fromStdString(LocalizedText(checked ? StringId::SpokenChecked : StringId::SpokenNotChecked,
                                                          checked ? "checked" : "not checked")));
}
