#pragma once
// The Customize page: fills the custom groups with buttons of the other
// groups. Every change goes into the skin description at once and the custom
// group's page is reloaded; the preview shows the group's buttons in the
// slots of its layout on white, the selected slot framed.
#include <QWidget>

#include <memory>

#include "skins/CustomGroupEditor.h"
#include "ui/options/OptionsDialog.h"

class CKeypadPage;
class QComboBox;
class QRadioButton;

class CCustomizePage : public QWidget {
public:
    CCustomizePage(QWidget* parent, OptionsContext& context);
    ~CCustomizePage() override;

    CCustomGroupEditor& Editor() { return *m_editor; }
    QWidget* Preview() const { return m_preview; }
    // The preview's top edge in the editor's page coordinates.
    static constexpr int kPreviewTop = 86;
    // The target group's page in the main window.
    CKeypadPage* TargetPage() const;
    // A click on the preview at a point of the editor's page coordinates.
    void ClickPreview(int x, int y);

private:
    void ChooseTarget(int index);
    void FillSourceButtons(int group);
    void Apply(CCustomGroupEditor::EEdit result);

    OptionsContext& m_context;
    std::unique_ptr<CCustomGroupEditor> m_editor;
    QComboBox* m_target;
    QComboBox* m_sourceGroup;
    QComboBox* m_button;
    QRadioButton* m_large;
    QRadioButton* m_small;
    QWidget* m_preview;
};
