#pragma once
// What the Options dialog and its pages ask of the main window. The window
// implements it, so the pages never include the window: they read and change
// the calculator, the scale and the custom group pages through these calls,
// and the window rebuilds what they changed once the dialog has closed.

class CCalcController;
class CSkinPage;
class CSkinResources;
class QWidget;
class RegistryAccess;

class IOptionsHost {
public:
    virtual ~IOptionsHost() = default;

    // The dialog's parent; its icon is the program's.
    virtual QWidget* HostWidget() = 0;
    virtual CCalcController& Calculator() = 0;
    virtual RegistryAccess& Registry() = 0;
    virtual CSkinResources& Resources() = 0;
    // The double scale the window will use once the dialog has closed.
    virtual int DoubleScale() const = 0;
    virtual void SetDoubleScale(int on) = 0;
    // Builds the pages the window has not built yet (the custom groups are
    // edited even when they were never shown).
    virtual void BuildRemainingPages() = 0;
    // The page of a group kind (1 to 15), or null when it is not built.
    virtual CSkinPage* PageOfKind(int kind) const = 0;
    // Loads the group page of a keypad kind again from the skin description;
    // 0 when the page is not built.
    virtual int ReloadGroupPage(int kind) = 0;
    // Rebuilds what the pages changed: skinChanged reloads the skin and every
    // page, groupsChanged the menu and the pages.
    virtual void AfterOptions(int skinChanged, int groupsChanged) = 0;
};
