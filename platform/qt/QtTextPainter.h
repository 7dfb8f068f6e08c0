#pragma once
// The text painter of the window program: Qt fonts drawn straight into the
// caller's pixel buffer. Needs a QGuiApplication (or QApplication) to exist.
// A face that is not installed falls back to the fontconfig match, and to
// DejaVu Sans when fontconfig knows nothing close ("Tahoma" on Linux).

#include <functional>

#include "platform/TextPainter.h"

class QFont;

class CQtTextPainter : public ITextPainter {
public:
    int MeasureText(const TextFontSpec& font, const std::string& text) override;
    void DrawText(TextSurface& surface, int x, int y, const TextFontSpec& font, uint32_t color,
                  const std::string& text) override;
    // Resolves the font on the worker thread, if one runs.
    void Prepare(const TextFontSpec& font) override;

    // The Qt font for a font description: pixel size chosen so that ascent + descent
    // (the cell) is font.height. The choice is made once per face and height.
    static QFont MakeFont(const TextFontSpec& font);

    // A worker thread that runs first, then resolves the fonts Prepare hands
    // it until StopWorker, which waits for it, or until it has been idle for
    // two seconds. Qt keeps font engines per
    // thread, so only the choices made are shared, not the engines.
    static void StartWorker(std::function<void()> first);
    static void StopWorker();
};
