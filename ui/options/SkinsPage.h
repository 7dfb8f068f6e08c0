#pragma once
// The Skins page: the skin descriptions (*.ini) of the Skins folder; choosing
// one stores it as the skin and has the window load it when the dialog closes.
#include <QWidget>

#include "ui/options/OptionsDialog.h"

class QListWidget;

class CSkinsPage : public QWidget {
public:
    CSkinsPage(QWidget* parent, OptionsContext& context);
    QListWidget* List() const { return m_list; }

private:
    OptionsContext& m_context;
    QListWidget* m_list;
};
