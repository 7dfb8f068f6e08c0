// Long values stay inside the display: clear of the menu button and of the
// page's left edge, in both shipped skins and at both scales.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include "calculator/CalcController.h"
#include "tests/ui/UiTestKit.h"
#include "ui/pages/DisplayPage.h"
#include "ui/pages/SkinMenuButton.h"

namespace {
const char kGeneralKey[] = "SOFTWARE\\Fernhill\\Tallix\\General";

QImage GrabDisplay(UiWindow& ui)
{
    ui.Window().Display()->repaint();
    QApplication::processEvents();
    return ui.Window().Display()->grab().toImage();
}

// Pixels in the rectangle that differ between the two pictures.
int ChangedPixels(const QImage& a, const QImage& b, const QRect& area)
{
    int changed = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            changed += a.pixel(x, y) != b.pixel(x, y);
    return changed;
}

struct ValueRow {
    const char* what;
    int base;
    const char* pairs;  // pressed through the controller
    const char* typed;
};

TEST(DisplayFitTest, LongValuesStayClearOfTheMenuButton)
{
    const ValueRow rows[] = {
        {"2^1000", 10, "", "2^1000="},
        {"magnetic constant", 10, "6,15", ""},
        {"15-digit entry", 10, "", "123456789012345"},
        {"negative mantissa", 10, "", "0-2^1000="},
        {"negative exponent", 10, "", "1/2^1000="},
        {"32-bit binary", 2, "0,0 1,1 0,1 5,0", ""},
        {"base 3", 3, "0,0 1,1 0,1 5,0", ""},
    };
    for (const char* skin : {"default.ini", "dark.ini"})
        for (int vga : {0, 1}) {
            SCOPED_TRACE(std::string(skin) + (vga ? " double scale" : " normal scale"));
            CMemoryRegistry registry;
            registry.WriteText(kGeneralKey, "IniFile", skin);
            registry.WriteNumber(kGeneralKey, "VGA", vga);
            UiWindow ui(&registry);
            CCalcController& calc = ui.Window().Calculator();
            CSkinMenuButton* menu = ui.Window().Display()->MenuButton();
            ASSERT_TRUE(menu);
            const SkinRect r = menu->ButtonRect();
            const QRect button(r.left, r.top, r.Width(), r.Height());
            const QImage empty = GrabDisplay(ui);
            const QRect leftEdge(0, 0, vga ? 4 : 2, empty.height());
            const QRect valueArea(r.right, 0, empty.width() - r.right, empty.height());
            for (const ValueRow& row : rows) {
                SCOPED_TRACE(row.what);
                calc.Dispatch(10, row.base);
                calc.Dispatch(8, 0);
                for (const char* p = row.pairs; *p;) {
                    int type = 0, id = 0, used = 0;
                    ASSERT_EQ(2, std::sscanf(p, "%d,%d%n", &type, &id, &used));
                    calc.Dispatch(type, id);
                    p += used;
                    while (*p == ' ') ++p;
                }
                ui.Type(row.typed);
                const QImage shown = GrabDisplay(ui);
                ASSERT_FALSE(ui.Display().empty());
                EXPECT_EQ(ChangedPixels(empty, shown, button), 0) << ui.Display();
                EXPECT_EQ(ChangedPixels(empty, shown, leftEdge), 0) << ui.Display();
                EXPECT_GT(ChangedPixels(empty, shown, valueArea), 0) << ui.Display();
            }
            calc.Dispatch(10, 10);
        }
}
}  // namespace
