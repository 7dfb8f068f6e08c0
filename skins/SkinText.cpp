#include "skins/SkinText.h"

#include "platform/TextCodec.h"
#include "platform/TextPainter.h"

namespace {
int g_clearType = 1;
}

void SetSkinTextClearType(int on) { g_clearType = on ? 1 : 0; }
int SkinTextClearType() { return g_clearType; }

int SkinTextLeft(int x, int width, int alignment)
{
    if (alignment == kAlignLeft) return x;
    if (alignment == kAlignCenter) return x - width / 2;
    return x - width;
}

void DrawSkinText(int x, int y, int height, int weight, const std::string& face,
                  const std::string& text, CSkinImage& dc, uint32_t color, int alignment)
{
    DrawSkinTextUtf8(x, y, height, weight, face, Cp1252ToUtf8(text), dc, color, alignment);
}

void PrepareSkinText(int height, int weight, const std::string& face)
{
    TextPainterService().Prepare({Cp1252ToUtf8(face), height, weight, g_clearType != 0});
}

uint32_t SkinColorToPixel(uint32_t color)
{
    // The skin's colours are red in the low byte; the buffer has red high.
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

int MeasureSkinTextUtf8(int height, int weight, const std::string& face, const std::string& utf8)
{
    return TextPainterService().MeasureText({Cp1252ToUtf8(face), height, weight, g_clearType != 0}, utf8);
}

int FitSkinTextHeight(int height, int minHeight, int weight, const std::string& face, const std::string& utf8,
                      int room)
{
    for (; height > minHeight; --height)
        if (MeasureSkinTextUtf8(height, weight, face, utf8) <= room) break;
    return height;
}

void DrawSkinTextUtf8(int x, int y, int height, int weight, const std::string& face,
                      const std::string& utf8, CSkinImage& dc, uint32_t color, int alignment)
{
    if (dc.IsEmpty()) return;
    TextFontSpec font{Cp1252ToUtf8(face), height, weight, g_clearType != 0};
    ITextPainter& painter = TextPainterService();
    int left = SkinTextLeft(x, painter.MeasureText(font, utf8), alignment);
    TextSurface surface{dc.Pixels(), dc.Width(), dc.Height()};
    painter.DrawText(surface, left, y, font, SkinColorToPixel(color), utf8);
}

std::string FitSkinTextTail(int height, int weight, const std::string& face, const std::string& utf8Text, int room)
{
    static const std::string kEllipsis = "\xE2\x80\xA6";
    if (MeasureSkinTextUtf8(height, weight, face, utf8Text) <= room) return utf8Text;
    std::string tail = utf8Text;
    while (!tail.empty() && MeasureSkinTextUtf8(height, weight, face, kEllipsis + tail) > room) {
        // One whole UTF-8 character at a time.
        do tail.erase(0, 1);
        while (!tail.empty() && (static_cast<unsigned char>(tail[0]) & 0xC0) == 0x80);
    }
    return kEllipsis + tail;
}
