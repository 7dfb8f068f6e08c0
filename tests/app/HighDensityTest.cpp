#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdlib>
#include <string>

#include "tests/ui/UiTestKit.h"

namespace {
// A screenshot by the real program, with QT_SCALE_FACTOR as given ("" unset).
QImage Screenshot(const QString& file, const QString& scaleFactor, QStringList args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("QT_SCALE_FACTOR");
    if (!scaleFactor.isEmpty()) env.insert("QT_SCALE_FACTOR", scaleFactor);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.start(QString::fromStdString(RuntimeDir() + "tallix"), QStringList{"--screenshot", file} + args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
    return QImage(file).convertToFormat(QImage::Format_RGB32);
}

// Pixels of which some channel differs by more than 3 % of its range.
double DifferingShare(const QImage& a, const QImage& b)
{
    long differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int d = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                    std::abs(qBlue(p) - qBlue(q))});
            if (d > 255 * 3 / 100) ++differing;
        }
    return double(differing) / (double(a.width()) * a.height());
}

// On a screen of twice the density the window, left to choose its scale,
// draws the double-size art one to one: the picture is the double-size one.
TEST(HighDensityTest, DenseScreenDrawsTheDoubleSizeArtUnscaled)
{
    QTemporaryDir dir;
    for (const char* group : {"1", "5", "8"}) {
        const QImage dense = Screenshot(dir.filePath("dense.png"), "2", {"--group", group});
        const QImage vga = Screenshot(dir.filePath("vga.png"), "", {"--group", group, "--vga"});
        const QImage normal = Screenshot(dir.filePath("normal.png"), "", {"--group", group});
        ASSERT_FALSE(dense.isNull() || vga.isNull() || normal.isNull()) << "group " << group;
        EXPECT_EQ(normal.size(), QSize(240, 294));
        ASSERT_EQ(dense.size(), vga.size()) << "group " << group;
        EXPECT_LE(DifferingShare(dense, vga), 0.01) << "group " << group;
    }
}
}  // namespace
