#include <gtest/gtest.h>

#include "platform/TextPainter.h"
#include "skins/SkinText.h"
#include "tests/skins/SkinTestKit.h"

namespace {

// Every glyph is 10 pixels wide; calls are recorded.
class FakePainter : public ITextPainter {
public:
    FakePainter() { SetTextPainterService(this); }
    ~FakePainter() override { SetTextPainterService(nullptr); }
    int MeasureText(const TextFontSpec&, const std::string& text) override
    {
        return 10 * static_cast<int>(text.size());
    }
    void DrawText(TextSurface& s, int x, int y, const TextFontSpec& font, uint32_t color,
                  const std::string& text) override
    {
        calls.push_back({x, y, font, color, text, s.width});
    }
    struct Call { int x, y; TextFontSpec font; uint32_t color; std::string text; int width; };
    std::vector<Call> calls;
};

TEST(SkinText, AlignmentPlacesTheLeftEdge)
{
    FakePainter painter;
    CSkinImage dc;
    dc.Create(240, 54);
    struct Row { int alignment; int left; } rows[] = {{0, 100}, {1, 80}, {2, 60}, {7, 60}};
    for (const Row& r : rows) {
        painter.calls.clear();
        DrawSkinText(100, 13, 20, 700, "Tahoma", "8888", dc, 0, r.alignment);
        ASSERT_EQ(painter.calls.size(), 1u);
        EXPECT_EQ(painter.calls[0].x, r.left) << r.alignment;
        EXPECT_EQ(painter.calls[0].y, 13);
    }
}

TEST(SkinText, FontColourAndTextCrossToThePainter)
{
    FakePainter painter;
    CSkinImage dc;
    dc.Create(10, 10);
    for (int clearType : {1, 0}) {
        painter.calls.clear();
        SetSkinTextClearType(clearType);
        // 0x00BBGGRR from the skin; 0xD7 is the multiplication sign in 1252.
        DrawSkinText(0, 0, 12, 400, "Tahoma", "2\xD7" "3", dc, 0x00332211, 0);
        ASSERT_EQ(painter.calls.size(), 1u);
        const auto& c = painter.calls[0];
        EXPECT_EQ(c.color, 0x112233u);
        EXPECT_EQ(c.text, "2\xC3\x97" "3");
        EXPECT_EQ(c.font.face, "Tahoma");
        EXPECT_EQ(c.font.height, 12);
        EXPECT_EQ(c.font.weight, 400);
        EXPECT_EQ(c.font.antialiased, clearType == 1);
    }
    SetSkinTextClearType(1);
}

}  // namespace
