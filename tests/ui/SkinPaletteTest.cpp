// Lists and dialogs take the skin's colours: dark with the dark skin, light
// with the default one, and back again when the skin changes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>

#include "tests/ui/UiTestKit.h"
#include "ui/converters/CurrencyConverterPage.h"
#include "ui/options/OptionPages.h"
#include "ui/options/OptionsDialog.h"
#include "ui/pages/SkinListButton.h"

namespace {
const char kGeneralKey[] = "SOFTWARE\\Fernhill\\Tallix\\General";

int Luminance(const QColor& c) { return (c.red() * 299 + c.green() * 587 + c.blue() * 114) / 1000; }

TEST(SkinPaletteTest, ListsAndDialogsFollowTheSkin)
{
    EnsureApplication();
    struct Row {
        const char* skin;
        bool dark;
    } rows[] = {{"dark.ini", true}, {"default.ini", false}, {"dark.ini", true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.skin);
        CMemoryRegistry registry;
        registry.WriteText(kGeneralKey, "IniFile", row.skin);
        UiWindow ui(&registry);
        auto* currency = dynamic_cast<CCurrencyConverterPage*>(ui.Window().PageOfKind(8));
        ASSERT_TRUE(currency);
        const QPalette list = currency->CurrencyList(1)->ListBox()->palette();
        OptionsFlags flags;
        OptionsContext context{ui.Window(), ui.Window().Registry(), ui.Window().Resources(), flags};
        COptionsDialog dialog(&ui.Window(), context, &CreateOptionPage, 0);
        const QPalette options = dialog.palette();
        for (const QColor& ground : {list.color(QPalette::Active, QPalette::Base), options.color(QPalette::Active, QPalette::Window)})
            EXPECT_EQ(Luminance(ground) < 100, row.dark) << ground.name().toStdString();
        for (const QColor& ink : {list.color(QPalette::Active, QPalette::Text), options.color(QPalette::Active, QPalette::WindowText)})
            EXPECT_EQ(Luminance(ink) > 155, row.dark) << ink.name().toStdString();
    }
}
}  // namespace
