#include "platform/TextPainter.h"

namespace {

// Without a display there is nothing to draw on; the estimate keeps layout
// code (alignment) meaningful: an average glyph is about half the cell high.
class CNullTextPainter : public ITextPainter {
public:
    int MeasureText(const TextFontSpec& font, const std::string& text) override
    {
        int glyphs = 0;
        for (unsigned char c : text)
            if ((c & 0xC0) != 0x80) ++glyphs;  // count UTF-8 lead bytes only
        return glyphs * font.height / 2;
    }
    void DrawText(TextSurface&, int, int, const TextFontSpec&, uint32_t, const std::string&) override
    {
    }
};

CNullTextPainter g_nullPainter;
ITextPainter* g_painter = &g_nullPainter;

}  // namespace

ITextPainter& TextPainterService() { return *g_painter; }

void SetTextPainterService(ITextPainter* impl) { g_painter = impl ? impl : &g_nullPainter; }
