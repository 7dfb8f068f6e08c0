#pragma once
// Drawing one line of text into a 32-bit pixel buffer: the service behind the
// skins' text drawing. The window program installs the Qt painter; without it
// (terminal front end, tools, core tests) a null painter measures an estimate
// and draws nothing.

#include <cstdint>
#include <string>

// A pixel buffer owned by the caller: width x height pixels, rows top-down
// without padding, each pixel 0x00RRGGBB.
struct TextSurface {
    uint32_t* pixels;
    int width;
    int height;
};

struct TextFontSpec {
    std::string face;       // face name; an unknown face falls back to a sans face
    int height = 20;        // cell height in pixels (ascent + descent)
    int weight = 400;       // 100 to 900; 400 normal, 700 bold
    bool antialiased = true;
};

class ITextPainter {
public:
    virtual ~ITextPainter() = default;
    // Advance width of text (UTF-8) in pixels.
    virtual int MeasureText(const TextFontSpec& font, const std::string& text) = 0;
    // Draws text (UTF-8) with the top-left of its cell at (x, y), clipped to
    // the surface, background left untouched. color is 0x00RRGGBB.
    virtual void DrawText(TextSurface& surface, int x, int y, const TextFontSpec& font,
                          uint32_t color, const std::string& text) = 0;
    // A font about to be used: a painter may get it ready in the background,
    // so that its first text is drawn sooner. Optional.
    virtual void Prepare(const TextFontSpec& font) { (void)font; }
};

// The installed painter (the null one unless replaced).
ITextPainter& TextPainterService();
// Installs impl (not owned; must outlive its use); null restores the null painter.
void SetTextPainterService(ITextPainter* impl);
