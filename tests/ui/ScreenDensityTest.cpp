#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QWindow>

#include <cstdlib>

#include "tests/ui/UiTestKit.h"
#include "ui/pages/SkinPage.h"

namespace {
const char kGeneralKey[] = "SOFTWARE\\Fernhill\\Tallix\\General";

// Two off-screen screens side by side, the second of twice the density;
// made before the application, which reads them at its start.
void EnsureTwoScreens()
{
    if (QApplication::instance()) return;
    static QTemporaryDir dir;
    const QString path = dir.filePath("screens.json");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({"screens": [
        {"name": "plain", "x": 0, "y": 0, "width": 1920, "height": 1080, "logicalDpi": 96, "dpr": 1},
        {"name": "dense", "x": 1920, "y": 0, "width": 1920, "height": 1080, "logicalDpi": 96, "dpr": 2}]})");
    file.close();
    setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + path).toLocal8Bit().constData(), 1);
    EnsureApplication();
}

QScreen* ScreenNamed(const char* name)
{
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->name() == name) return screen;
    return nullptr;
}

// Moved to a screen of another density, the window draws itself for that
// screen: the same logical size, the art that is sharp there. A scale the
// user chose stays.
TEST(ScreenDensityTest, MovingToAnotherDensityRedrawsForIt)
{
    EnsureTwoScreens();
    QScreen* plain = ScreenNamed("plain");
    QScreen* dense = ScreenNamed("dense");
    if (!plain || !dense || dense->devicePixelRatio() != 2) GTEST_SKIP() << "the off-screen platform has one screen";
    struct Row { int chosen; int vga; int denseDouble; } rows[] = {{-1, 0, 1}, {1, 0, 0}, {1, 1, 1}};
    for (const Row& row : rows) {
        CMemoryRegistry registry;
        if (row.chosen >= 0) registry.WriteNumber(kGeneralKey, "VGAChosen", row.chosen);
        registry.WriteNumber(kGeneralKey, "VGA", row.vga);
        UiWindow ui(&registry);
        CMainWindow& w = ui.Window();
        w.windowHandle()->setScreen(plain);
        QApplication::processEvents();
        EXPECT_EQ(w.DoubleScale(), row.chosen >= 0 ? row.vga : 0);
        EXPECT_EQ(SkinArtRatio(), 1);
        const QSize plainSize = w.size();
        ui.PressAll("0,7 1,0 0,2 5,0");
        const std::string shownOnPlain = ui.Display();
        ASSERT_NE(shownOnPlain, "0");
        ui.PressAll("8,0");
        w.windowHandle()->setScreen(dense);
        QApplication::processEvents();
        EXPECT_EQ(w.DoubleScale(), row.denseDouble) << "chosen " << row.chosen << " vga " << row.vga;
        EXPECT_EQ(SkinArtRatio(), row.denseDouble ? 2 : 1);
        // The same size to the eye; double-size art chosen on the plain
        // screen is half as large in logical pixels on the dense one.
        EXPECT_EQ(w.size(), row.vga && row.chosen == 1 ? plainSize / 2 : plainSize);
        // Clicks land on the buttons drawn there.
        ui.PressAll("0,7 1,0 0,2 5,0");
        EXPECT_EQ(ui.Display(), shownOnPlain) << "chosen " << row.chosen << " vga " << row.vga;
    }
}
}  // namespace
