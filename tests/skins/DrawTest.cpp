#include <gtest/gtest.h>

#include "skins/ButtonGroup.h"
#include "skins/KeypadSurface.h"
#include "skins/PageSwitch.h"
#include "skins/SkinResources.h"
#include "tests/skins/SkinTestKit.h"

namespace {

constexpr uint32_t kBack = 0x203040, kWhite = 0xFFFFFF, kBlack = 0;

// Face W x H = 6 x 4, three styles. Normal face colour 0x1000s0, pressed
// 0x2000s0 (s = style); the mask is opaque except its top-left pixel.
uint32_t FacePixel(int x, int y)
{
    const int w = 6, h = 4, style = y / h;
    if (x >= 2 * w) return (x - 2 * w == 0 && y % h == 0) ? kWhite : kBlack;
    return (x < w ? 0x100000u : 0x200000u) + uint32_t(style) * 0x10;
}

// Labels 3 x 2, two font styles: glyph colour 0x0000Af (f = font style); the
// glyph mask shows only the glyph's left column.
uint32_t LabelPixel(int x, int y)
{
    if (y < 2) return 0xA0u + uint32_t(x / 3);
    return x % 3 == 0 ? kBlack : kWhite;
}

struct DrawFixture : ::testing::Test {
    ScratchFolder dir;
    RecordingMessageBox boxes;
    CSkinResources res;
    RecordingHost host;
    RecordingTarget target;
    CButtonGroup group{&res};

    void SetUp() override
    {
        res.SetProgramFolder(dir.Path());
        dir.Write("Skins/d.ini", "[Init]\nBackgroundWide=back.bmp\n"
                                 "[G]\nLocation=L\nBtn1=Two\nBtn2=Zero\n"
                                 "[L]\nNumberOfButtons=2\nCoord1=2,1\nCoord2=12,1\n");
        dir.Write("Skins/d/Button.ini",
                  "[Init]\nBtnDimensionLarge=6,4\nFntDimensionLarge=3,2\nFntOffSetLarge=1,1\n"
                  "[Two]\nBtnType=0\nBtnId=7\nBtnStyle=2\nFontStyle=1\n"
                  "BtnImageLarge=face.bmp\nFontImageLarge=font.bmp\n"
                  "[Zero]\nBtnType=0\nBtnId=0\nBtnStyle=0\nFontStyle=0\n"
                  "BtnImageLarge=face.bmp\nFontImageLarge=font.bmp\n");
        dir.Write("Skins/d/face.bmp", EncodeBmp(MakeImage(18, 12, FacePixel)));
        dir.Write("Skins/d/font.bmp", EncodeBmp(MakeImage(6, 4, LabelPixel)));
        dir.Write("Skins/d/back.bmp", EncodeBmp(MakeImage(100, 100, [](int x, int y) {
            return uint32_t(x * 256 + y);
        })));
        SkinLoadRequest request;
        request.iniFile = "d.ini";
        SkinLoadResult result;
        ASSERT_EQ(res.LoadSkin(request, result), 1);
        ASSERT_EQ(group.Load(kMsgButton, &host, &target, "G", 0, 0), 1);
    }
    CSkinImage Canvas() const { return MakeImage(24, 8, [](int, int) { return kBack; }); }
};

TEST(MaskedTransfer, WhiteKeepsBlackReplaces)
{
    CSkinImage dst = MakeImage(2, 1, [](int x, int) { return x ? 0x123456u : 0xABCDEFu; });
    CSkinImage src = MakeImage(2, 1, [](int, int) { return 0x0F0F0Fu; });
    CSkinImage mask = MakeImage(2, 1, [](int x, int) { return x ? kBlack : kWhite; });
    dst.MaskedTransfer(0, 0, 2, 1, src, 0, 0, mask, 0, 0);
    EXPECT_EQ(dst.GetPixel(0, 0), 0xABCDEFu);
    EXPECT_EQ(dst.GetPixel(1, 0), 0x0F0F0Fu);
}

TEST_F(DrawFixture, FaceRowOfTheStyleAndLabelColumnOfTheFontStyle)
{
    CSkinImage dc = Canvas();
    group.DrawAll(dc, {0, 0, 24, 8}, 1, 1);
    struct Row { int x, y; uint32_t color; const char* what; } rows[] = {
        {2, 1, kBack, "mask white at the corner: background stays"},
        {3, 1, 0x100020, "normal face of style 2 (rows 8 to 11)"},
        {3, 2, 0x0000A1, "glyph of font style 1 at the label offset"},
        {4, 2, 0x100020, "glyph mask white: face shows"},
        {12, 1, kBack, "second button's corner"},
        {14, 3, 0x100000, "second button, style 0"},
        {13, 2, 0x0000A0, "second label, font style 0"},
        {8, 1, kBack, "right of the first button"},
    };
    for (const Row& r : rows) EXPECT_EQ(dc.GetPixel(r.x, r.y), r.color) << r.what;
}

TEST_F(DrawFixture, PressedFaceAndLabelOnePixelLower)
{
    CSkinImage dc = Canvas();
    group.DrawAll(dc, {0, 0, 24, 8}, 1, 1);
    group.MouseDown(3, 2);
    group.DrawAll(dc, {0, 0, 24, 8}, 0, 1);
    EXPECT_EQ(dc.GetPixel(5, 4), 0x200020u) << "pressed face";
    EXPECT_EQ(dc.GetPixel(3, 4), 0x0000A1u) << "label moved down";
    EXPECT_EQ(dc.GetPixel(14, 3), 0x100000u) << "unpressed button untouched";
    group.MouseUp(3, 2);
    group.DrawAll(dc, {0, 0, 24, 8}, 0, 1);
    EXPECT_EQ(dc.GetPixel(5, 4), 0x100020u);
    EXPECT_EQ(dc.GetPixel(3, 2), 0x0000A1u);
    EXPECT_EQ(dc.GetPixel(3, 4), 0x100020u) << "label back up; face below it";
}

TEST_F(DrawFixture, DrawSkipsUnchangedOrOutsideButtons)
{
    CSkinImage dc = Canvas();
    CSkinButton* first = group.Button(0);
    struct Row { SkinRect update; int force; bool drawn; const char* what; } rows[] = {
        {{0, 0, 24, 8}, 0, false, "unchanged state, not forced"},
        {{0, 0, 24, 8}, 1, true, "forced"},
        {{9, 6, 24, 8}, 1, false, "rows below, edges outside the columns"},
        {{0, 6, 3, 8}, 1, true, "left edge inside the columns"},
        {{20, 0, 24, 2}, 1, true, "rows meet though columns do not"},
    };
    for (const Row& r : rows) {
        CSkinImage fresh = Canvas();
        first->Draw(fresh, r.update, r.force, 1);
        EXPECT_EQ(fresh.GetPixel(3, 1) != kBack, r.drawn) << r.what;
    }
}

TEST_F(DrawFixture, RelativeDrawAndDrawAtRestorePosition)
{
    CSkinImage small = MakeImage(8, 6, [](int, int) { return kBack; });
    group.Button(0)->Draw(small, {2, 1, 10, 7}, 1, 0);
    EXPECT_EQ(small.GetPixel(1, 0), 0x100020u) << "drawn relative to the update rectangle";
    CSkinImage dc = Canvas();
    group.DrawButtonAt(0, dc, {0, 0, 24, 8}, 16, 3);
    EXPECT_EQ(dc.GetPixel(17, 3), 0x100020u);
    EXPECT_EQ(dc.GetPixel(17, 4), 0x0000A1u);
    int x, y;
    group.Button(0)->GetPosition(x, y);
    EXPECT_EQ(x * 100 + y, 201);
    EXPECT_EQ(group.Button(0)->ButtonRect(), (SkinRect{2, 1, 8, 5}));
}

TEST_F(DrawFixture, KeypadPaintCopiesBackgroundOnlyWhenFlagged)
{
    CKeypadSurface surface;
    ASSERT_EQ(surface.Setup(24, 8, res.BackgroundWide(), 40, 54), 1);
    CSkinImage screen = Canvas();
    surface.Paint({0, 0, 24, 8}, group, screen, nullptr, 0, 0);
    EXPECT_EQ(screen.GetPixel(0, 0), uint32_t(40 * 256 + 54)) << "background from the offset";
    EXPECT_EQ(screen.GetPixel(3, 1), 0x100020u) << "buttons over it";
    EXPECT_EQ(surface.BackgroundFlag(), 0);

    // Without the flag a paint leaves the buffer's background alone and draws
    // only buttons whose state changed.
    surface.Buffer().Fill(0, 0, 24, 8, 0x999999);
    group.MouseDown(14, 3);
    surface.Paint({12, 1, 18, 5}, group, screen, nullptr, 0, 0);
    EXPECT_EQ(screen.GetPixel(14, 3), 0x200000u);
    EXPECT_EQ(screen.GetPixel(12, 1), 0x999999u) << "mask corner shows the buffer";
    EXPECT_EQ(screen.GetPixel(0, 0), uint32_t(40 * 256 + 54)) << "outside the clip box";
    EXPECT_EQ(surface.LastUpdate(), (SkinRect{12, 1, 18, 5}));

    // After losing the focus the page repaints the background and every button it meets.
    surface.SetBackgroundFlag();
    surface.Paint({0, 0, 24, 8}, group, screen, nullptr, 0, 0);
    EXPECT_EQ(screen.GetPixel(12, 1), uint32_t(52 * 256 + 55));
    EXPECT_EQ(screen.GetPixel(3, 1), 0x100020u);
}

TEST_F(DrawFixture, GroupPagePaintLeavesTheBandToTheFrames)
{
    CKeypadSurface surface;
    ASSERT_EQ(surface.Setup(240, 80, res.BackgroundWide(), 40, 54), 1);
    CSkinImage screen = MakeImage(240, 80, [](int, int) { return kBack; });
    CPageSwitch band;
    const SkinRect all{0, 0, 240, 80};
    EXPECT_EQ(surface.Paint(all, group, screen, &band, 0, 0), 0) << "first paint takes the snapshot";
    const uint32_t shown = screen.GetPixel(3, 1);
    EXPECT_EQ(shown, 0x100020u);

    band.BeginSwitch(1);
    surface.SetBackgroundFlag();
    group.Clear();  // the new group: background only
    EXPECT_EQ(surface.Paint(all, group, screen, &band, 0, 0), 1);
    EXPECT_EQ(screen.GetPixel(3, 1), shown) << "the band still shows the old group";
    band.Advance(screen, 40 * CPageSwitch::FrameIntervalMicros(0));  // frames 0 to 39
    EXPECT_EQ(screen.GetPixel(3, 1 + 39), shown) << "old band pushed down 39 rows";
    EXPECT_EQ(screen.GetPixel(3, 0), uint32_t(43 * 256 + 54 + 41)) << "new band's row 41 at the top";
    band.Advance(screen, 41 * CPageSwitch::FrameIntervalMicros(0));
    EXPECT_EQ(band.IsRunning(), 0);
    EXPECT_EQ(screen.GetPixel(3, 1), uint32_t(43 * 256 + 55));
}

}  // namespace
