#pragma once
// The text painter of the window program: Qt fonts drawn straight into the
// caller's pixel buffer. Needs a QGuiApplication (or QApplication) to exist.
// A face that is not installed falls back to the fontconfig match, and to
// DejaVu Sans when fontconfig knows nothing close ("Tahoma" on Linux).

#include "platform/TextPainter.h"

class QFont;

class CQtTextPainter : public ITextPainter {
public:
    int MeasureText(const TextFontSpec& font, const std::string& text) override;
    void DrawText(TextSurface& surface, int x, int y, const TextFontSpec& font, uint32_t color,
                  const std::string& text) override;

    // The Qt font for a font description: pixel size chosen so that ascent + descent
    // (the cell) is font.height.
    static QFont MakeFont(const TextFontSpec& font);
};
