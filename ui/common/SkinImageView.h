#pragma once
// Our pixel buffers as Qt images, without copying: 0x00RRGGBB pixels are
// what QImage's RGB32 format reads (it ignores the top byte).
#include <QImage>

#include "skins/image/SkinImage.h"

// A view of image's pixels; valid while image keeps its size.
QImage WrapSkinImage(const CSkinImage& image);
