#include "ui/options/CalculatorPage.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "calculator/CalcController.h"
#include "settings/SettingsStore.h"
#include "strings/StringIds.h"
#include "ui/common/ResourceText.h"
#include "ui/options/OptionPages.h"
#include "ui/options/OptionsHost.h"

namespace {
struct Choice {
    const char* name;  // object name of the radio button
    QString text;
    int value;
};

// A group of radio buttons; the one whose value is `current` is checked and
// a click hands its value to `apply`.
QGroupBox* ChoiceGroup(int titleId, const std::vector<Choice>& choices, int current, int columns,
                       std::function<void(int)> apply)
{
    std::vector<QString> texts;
    for (const Choice& c : choices) texts.push_back(c.text);
    std::vector<QRadioButton*> buttons;
    QGroupBox* box = MakeRadioGroup(ResourceText(titleId), texts, columns, buttons);
    for (size_t i = 0; i < buttons.size(); ++i) {
        const int value = choices[i].value;
        buttons[i]->setObjectName(choices[i].name);
        buttons[i]->setChecked(value == current);
        QObject::connect(buttons[i], &QRadioButton::clicked, box, [apply, value] { apply(value); });
    }
    return box;
}
}  // namespace

CCalculatorPage::CCalculatorPage(QWidget* parent, OptionsContext& context) : QWidget(parent)
{
    CCalcController& calc = context.window.Calculator();
    // Only 3, 4 and 12 levels are offered; any other size becomes 3.
    if (calc.StackSize() != 12 && calc.StackSize() != 4) calc.SetStackSize(3);
    CCalcController* c = &calc;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ChoiceGroup(StringId::CalcNotation,
                                  {{"notation0", ResourceText(StringId::NotationNormal), 0},
                                   {"notation1", ResourceText(StringId::NotationFixed), 1},
                                   {"notation2", ResourceText(StringId::NotationScientific), 2},
                                   {"notation3", ResourceText(StringId::NotationEngineering), 3}},
                                  calc.Notation(), 2, [c](int v) { c->SetNotation(v); }));
    layout->addWidget(ChoiceGroup(StringId::CalcModeGroup,
                                  {{"mode1", ResourceText(StringId::ModeAlgebraic), 1},
                                   {"mode2", ResourceText(StringId::ModeDAL), 2},
                                   {"mode3", ResourceText(StringId::ModeChain), 3},
                                   {"mode4", ResourceText(StringId::ModeRPN), 4},
                                   {"mode0", ResourceText(StringId::ModeExpression), 0}},
                                  calc.CalcMode(), 2, [c](int v) { c->SetCalcMode(v); }));
    QGroupBox* stack = ChoiceGroup(StringId::CalcStackSize,
                                   {{"stack3", "3", 3}, {"stack4", "4", 4}, {"stack12", "12", 12}},
                                   calc.StackSize(), 3, [c](int v) { c->SetStackSize(v); });
    layout->addWidget(stack);

    auto* equals = new QCheckBox(ResourceText(StringId::CalcRepeatedEquals));
    equals->setObjectName("repeatedEquals");
    equals->setChecked(calc.RepeatedEquals() != 0);
    connect(equals, &QCheckBox::toggled, this, [c](bool on) { c->SetRepeatedEquals(on ? 1 : 0); });
    layout->addWidget(equals);
    auto* regional = new QCheckBox(ResourceText(StringId::CalcRegionalSettings));
    regional->setObjectName("regionalSettings");
    regional->setChecked(CSettingsStore::Instance().RegionalSettings() != 0);
    connect(regional, &QCheckBox::toggled, this,
            [](bool on) { CSettingsStore::Instance().SetRegionalSettings(on ? 1 : 0); });
    layout->addWidget(regional);
    layout->addStretch(1);
}
