#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QGuiApplication>

#include <array>
#include <set>

#include "platform/qt/QtTextPainter.h"
#include "skins/SkinText.h"

namespace {

struct QtText : ::testing::Test {
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "test";
        static char* argv[] = {name, nullptr};
        if (!QGuiApplication::instance()) new QGuiApplication(argc, argv);
    }
    CQtTextPainter painter;
    void SetUp() override { SetTextPainterService(&painter); }
    void TearDown() override
    {
        SetTextPainterService(nullptr);
        SetSkinTextClearType(1);
    }
    static CSkinImage White(int w, int h)
    {
        CSkinImage img;
        img.Create(w, h);
        img.Fill(0, 0, w, h, CSkinImage::kWhite);
        return img;
    }
    // Bounding box of the non-white pixels: left, top, right, bottom (exclusive).
    static std::array<int, 4> Ink(const CSkinImage& img)
    {
        std::array<int, 4> box{img.Width(), img.Height(), 0, 0};
        for (int y = 0; y < img.Height(); ++y)
            for (int x = 0; x < img.Width(); ++x)
                if (img.GetPixel(x, y) != CSkinImage::kWhite) {
                    box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x + 1), std::max(box[3], y + 1)};
                }
        return box;
    }
};

TEST_F(QtText, CellHeightAndUnknownFaces)
{
    for (int h : {12, 20, 40}) {
        TextFontSpec fontSpec{"Tahoma", h, 700, true};
        QFont f = CQtTextPainter::MakeFont(fontSpec);
        EXPECT_LE(QFontMetricsF(f).height(), h + 1.0) << h;
        EXPECT_GE(QFontMetricsF(f).height(), h - 3.0) << h;
        EXPECT_GT(painter.MeasureText(fontSpec, "8888"), painter.MeasureText(fontSpec, "88")) << h;
    }
    EXPECT_GT(painter.MeasureText({"No Such Face 123", 20, 400, true}, "Tallix"), 0);
}

TEST_F(QtText, RightAlignedTextEndsAtX)
{
    CSkinImage img = White(240, 54);
    DrawSkinText(230, 13, 20, 700, "Tahoma", "12345", img, 0, 2);
    auto box = Ink(img);
    EXPECT_LE(box[2], 231);
    EXPECT_GE(box[2], 222);
    EXPECT_GE(box[1], 13);
    EXPECT_LE(box[3], 13 + 21);
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x) ASSERT_EQ(img.GetPixel(x, y) >> 24, 0u) << x << "," << y;
}

TEST_F(QtText, ClearTypeOffDrawsOnlyTheTextColour)
{
    for (int clearType : {0, 1}) {
        SetSkinTextClearType(clearType);
        CSkinImage img = White(120, 30);
        DrawSkinText(2, 2, 20, 400, "DejaVu Sans", "Rates 8", img, 0x000000FF, 0);  // red
        std::set<uint32_t> colours;
        for (int y = 0; y < img.Height(); ++y)
            for (int x = 0; x < img.Width(); ++x) colours.insert(img.GetPixel(x, y));
        EXPECT_TRUE(colours.count(0xFF0000u)) << clearType;
        if (clearType) EXPECT_GT(colours.size(), 2u);
        else EXPECT_EQ(colours.size(), 2u);
    }
}

}  // namespace
