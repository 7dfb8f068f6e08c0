#pragma once
// One line of skin text (page values, labels, menu items) drawn through the
// platform's text painter, which may keep what it resolved per font.

#include <cstdint>
#include <string>

#include "skins/image/SkinImage.h"

enum ESkinTextAlign { kAlignLeft = 0, kAlignCenter = 1, kAlignRight = 2 };

// The ClearType setting: on means antialiased text. Defaults to on.
void SetSkinTextClearType(int on);
int SkinTextClearType();

// Draws text (Windows-1252) with its top at y. alignment 0: x is the left
// edge; 1: the centre; any other value: the right edge. height is the cell
// height in pixels; color is 0x00BBGGRR as the skin's colour keys give it.
void DrawSkinText(int x, int y, int height, int weight, const std::string& face,
                  const std::string& text, CSkinImage& dc, uint32_t color, int alignment);

// The same for a UTF-8 text (string-table texts, which may hold characters
// that Windows-1252 has not, such as Chinese menu items).
void DrawSkinTextUtf8(int x, int y, int height, int weight, const std::string& face,
                      const std::string& utf8Text, CSkinImage& dc, uint32_t color, int alignment);

// A font (face in Windows-1252) that a first paint is about to use: the
// painter may get it ready in the background.
void PrepareSkinText(int height, int weight, const std::string& face);

// A skin colour (0x00BBGGRR) as a pixel of the image buffer (0x00RRGGBB).
uint32_t SkinColorToPixel(uint32_t color);

// The width DrawSkinTextUtf8 gives the text.
int MeasureSkinTextUtf8(int height, int weight, const std::string& face, const std::string& utf8Text);

// The largest height from `height` down to `minHeight` at which the text is at
// most `room` pixels wide; minHeight when even that is wider.
int FitSkinTextHeight(int height, int minHeight, int weight, const std::string& face,
                      const std::string& utf8Text, int room);

// The text's end behind "…", cut at the front until it is at most room
// pixels wide; the whole text when it fits (a line whose end is what counts).
std::string FitSkinTextTail(int height, int weight, const std::string& face, const std::string& utf8Text, int room);

// The left edge DrawSkinText uses for a text of the given width.
int SkinTextLeft(int x, int width, int alignment);
