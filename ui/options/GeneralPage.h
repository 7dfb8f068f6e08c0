#pragma once
// The General page: language, scrolling, the regional currency, ClearType,
// sound and double scale settings, the About box and the memory view. Every
// change applies at once; the language fully at the next start, the scale
// when the dialog closes.
#include <QWidget>

#include <vector>

#include "ui/options/OptionsDialog.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;

class CGeneralPage : public QWidget {
public:
    CGeneralPage(QWidget* parent, OptionsContext& context);

    // "Currently Stored Memory": the five registers in the calculator's base.
    std::string MemoryText() const;
    void ShowMemory();
    void ShowAbout();

protected:
    // Arrow keys step through the closed language list; the language counts
    // when the focus leaves it or Return is pressed, not at every step.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ChooseLanguage(int position);

    OptionsContext& m_context;
    QComboBox* m_language;
    bool m_stepping = false;
    int m_pendingLanguage = -1;
    std::vector<QRadioButton*> m_scrolling;  // Normal, Slow, Fast, Off
};

// The About box: the program icon, "About Tallix", the version and OK.
class QDialog;
class QIcon;
QDialog* MakeAboutBox(QWidget* parent, const QIcon& icon);
