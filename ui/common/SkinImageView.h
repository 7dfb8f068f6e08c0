#pragma once
// Our pixel buffers as Qt images, without copying: 0x00RRGGBB pixels are
// what QImage's RGB32 format reads (it ignores the top byte).
#include <QImage>

#include "skins/image/SkinImage.h"

// A view of image's pixels; valid while image keeps its size.
QImage WrapSkinImage(const CSkinImage& image);
// A copy of part of image with every pixel opaque, for drawing on a window:
// where the window has an alpha channel (Wayland), the top byte 0 of our
// pixels would be copied into it and the compositor would blend them away.
QImage OpaqueSkinImage(const CSkinImage& image, const QRect& part);
