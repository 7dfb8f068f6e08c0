#pragma once
// A keypad: the buttons of one group section of the skin description, at the
// coordinates of its location section, and the mouse routing between them.
// The group owns its buttons (at most 80); the images stay the cache's.

#include <memory>
#include <vector>

#include "skins/SkinButton.h"

class CButtonGroup {
public:
    static constexpr int kMaxButtons = 80;

    explicit CButtonGroup(CSkinResources* resources = nullptr);
    ~CButtonGroup();
    CButtonGroup(const CButtonGroup&) = delete;
    CButtonGroup& operator=(const CButtonGroup&) = delete;

    // Loads the group section (e.g. "Main", "Trig1"). preferLarge: the main
    // keypad; compact: landscape or square screen (Medium sizes, and
    // [MainButtonLocationsSmall] for [MainButtonLocations]). 1 when every
    // button was made; 0 at the first failure, keeping the buttons before it.
    int Load(unsigned message, ISkinHost* host, IMessageTarget* target, const char* section,
             int preferLarge, int compact);
    void MouseDown(int x, int y);
    void MouseUp(int x, int y);
    void MouseMove(int x, int y);
    void DrawAll(CSkinImage& dc, const SkinRect& update, int force, int absolute);
    void DrawButtonAt(int index, CSkinImage& dc, const SkinRect& update, int x, int y);
    void Clear();

    int Count() const { return static_cast<int>(m_buttons.size()); }
    CSkinButton* Button(int index) const;
    int IsCaptured() const { return m_captured; }
    int CapturedIndex() const { return m_capturedIndex; }
    // The location section and size set of the last Load.
    const std::string& LocationSection() const { return m_location; }
    int SizeSet() const { return m_sizeSet; }

private:
    CSkinResources* m_resources;
    std::vector<std::unique_ptr<CSkinButton>> m_buttons;
    int m_captured = 0;
    int m_capturedIndex = 0;
    std::string m_location;
    int m_sizeSet = kSizeLarge;
};

// The size set a group of count buttons uses.
int ChooseSizeSet(int count, int preferLarge, int compact);

// The selectable groups, numbered 1 to 16 (the MenuItem settings hold these).
enum class EGroupPage { Keypad, TipCalculator, UnitConverter, Currency, History };

struct GroupKind {
    int kind;
    const char* section;
    int stringId;          // menu text in the string table
    const char* menuText;  // its English text
    EGroupPage page;
    const char* helpTopic;
};

inline constexpr int kGroupKindCount = 16;
inline constexpr int kHistoryKind = 16;
// The row of kind 1 to 16; null for any other number.
const GroupKind* FindGroupKind(int kind);
// The whole table, in kind order.
extern const GroupKind kGroupKinds[kGroupKindCount];
// Help topic when no kind applies.
inline constexpr const char* kMainHelpTopic = "Main_Contents";
