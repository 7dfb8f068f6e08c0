// The group menu in every language and both shipped skins: wide enough for
// its longest text, its separators and mark visible on the menu's background.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <functional>

#include "skins/SkinText.h"
#include "strings/Language.h"
#include "tests/ui/UiTestKit.h"
#include "ui/pages/DisplayPage.h"
#include "ui/pages/GroupMenuPopup.h"
#include "ui/pages/SkinMenuButton.h"

namespace {
const char kGeneralKey[] = "SOFTWARE\\Fernhill\\Tallix\\General";
const char kMenuKey[] = "SOFTWARE\\Fernhill\\Tallix\\Menu";
// The groups with the longest names in most languages; the first is marked.
const int kLongKinds[] = {15, 8, 5, 7, 13, 3, 9, 12, 1};

struct MenuFont {
    std::string face;
    int height = 0, weight = 0;
    uint32_t color = 0;
};

MenuFont ReadMenuFont(CSkinResources& resources)
{
    MenuFont f;
    CIniStore& defs = resources.ButtonDefinitions();
    defs.GetString(f.face, "MenuButton", "TextFont", "Tahoma");
    defs.GetInt(f.height, "MenuButton", "TextHeight", 0);
    defs.GetInt(f.weight, "MenuButton", "TextWeight", 0);
    defs.GetColor(f.color, "MenuButton", "TextColor", 0);
    return f;
}

// Opens the group menu of a window in that language, skin and scale and
// hands the open popup to look.
void WithOpenMenu(const char* language, const char* skin, int vga,
                  const std::function<void(CGroupMenuPopup&, UiWindow&)>& look,
                  const std::string& programFolder = std::string())
{
    CMemoryRegistry registry;
    registry.WriteText(kGeneralKey, "IniFile", skin);
    registry.WriteNumber(kGeneralKey, "VGA", vga);
    registry.WriteNumber("SOFTWARE\\Fernhill\\Tallix", "Locale", LanguageFromLocaleName(language));
    registry.WriteNumber(kMenuKey, "NumberOfWindows", std::size(kLongKinds));
    for (size_t i = 0; i < std::size(kLongKinds); ++i)
        registry.WriteNumber(kMenuKey, ("MenuItem" + std::to_string(i)).c_str(), kLongKinds[i]);
    registry.WriteNumber(kMenuKey, "SelectedWindow", 0);
    ResetLanguage();
    UiWindow ui(&registry, 0, programFolder);
    CSkinMenuButton* menu = ui.Window().Display()->MenuButton();
    ASSERT_TRUE(menu);
    const SkinRect r = menu->ButtonRect();
    const QPoint centre((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    bool looked = false;
    QTimer::singleShot(0, [&] {
        CGroupMenuPopup* popup = CGroupMenuPopup::Current();
        if (popup) {
            look(*popup, ui);
            looked = true;
            popup->close();
        }
    });
    QTest::mousePress(ui.Window().Display(), Qt::LeftButton, {}, centre);
    QTest::mouseRelease(ui.Window().Display(), Qt::LeftButton, {}, centre);
    QApplication::processEvents();
    EXPECT_TRUE(looked);
}

int Luminance(QRgb c) { return (qRed(c) * 299 + qGreen(c) * 587 + qBlue(c) * 114) / 1000; }

class GroupMenuLookTest : public ::testing::Test {
protected:
    void TearDown() override { ResetLanguage(); }
};

TEST_F(GroupMenuLookTest, EveryItemFitsItsMenuInEveryLanguage)
{
    for (const char* language : {"en", "de", "fr", "es", "it", "ca", "pt", "zh_TW"})
        for (const char* skin : {"default.ini", "dark.ini"})
            for (int vga : {0, 1}) {
                SCOPED_TRACE(std::string(language) + " " + skin + (vga ? " double" : " normal"));
                WithOpenMenu(language, skin, vga, [&](CGroupMenuPopup& popup, UiWindow& ui) {
                    const MenuFont f = ReadMenuFont(ui.Window().Resources());
                    const int scale = vga ? 2 : 1;
                    for (int i = 0; i < popup.AccessibleCount(); ++i) {
                        const std::string text = popup.AccessibleName(i);
                        const int needed = 20 * scale + MeasureSkinTextUtf8(f.height * scale, f.weight, f.face, text);
                        EXPECT_LE(needed, popup.AccessibleRect(i).Width()) << text;
                        EXPECT_LE(popup.AccessibleRect(i).right, popup.width()) << text;
                    }
                });
            }
}

TEST_F(GroupMenuLookTest, SeparatorAndMarkStandOutFromTheMenu)
{
    for (const char* skin : {"default.ini", "dark.ini"})
        for (int vga : {0, 1}) {
            SCOPED_TRACE(std::string(skin) + (vga ? " double" : " normal"));
            WithOpenMenu("en", skin, vga, [&](CGroupMenuPopup& popup, UiWindow&) {
                const QImage image = popup.grab().toImage();
                const int scale = vga ? 2 : 1;
                const SkinRect separator = popup.AccessibleRect(static_cast<int>(std::size(kLongKinds)));
                const QRgb line = image.pixel((separator.left + separator.right) / 2, separator.top + 2 * scale);
                const QRgb beside = image.pixel(separator.left + 1, separator.top + 2 * scale);
                EXPECT_GT(std::abs(Luminance(line) - Luminance(beside)), 80);
                const SkinRect marked = popup.AccessibleRect(0);
                const int middle = (marked.top + marked.bottom) / 2;
                const QRgb dot = image.pixel(marked.left + 10 * scale, middle);
                const QRgb around = image.pixel(marked.left + 1, middle);
                EXPECT_GT(std::abs(Luminance(dot) - Luminance(around)), 80);
            });
        }
}
// A skin whose menu is wider than its background image gets the image tiled,
// not the bare popup beside it.
TEST_F(GroupMenuLookTest, AWideMenuTilesItsBackground)
{
    ProgramFolderCopy folder;
    const std::string buttons = folder.Path() + "Skins/default/Button.ini";
    ASSERT_EQ(0, std::system(("sed -i 's/^MenuItemWidth=170$/MenuItemWidth=330/' '" + buttons + "'").c_str()));
    WithOpenMenu("en", "default.ini", 0, [&](CGroupMenuPopup& popup, UiWindow&) {
        const QImage image = popup.grab().toImage();
        const SkinRect item = popup.AccessibleRect(1);
        ASSERT_GT(item.Width(), 300);
        int bare = 0;
        for (int x = item.left; x < item.right; ++x) bare += (image.pixel(x, item.top + 1) & 0xFFFFFF) == 0x404040;
        EXPECT_EQ(bare, 0);
    }, folder.Path());
}
}  // namespace
