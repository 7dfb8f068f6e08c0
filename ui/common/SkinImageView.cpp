#include "ui/common/SkinImageView.h"

QImage WrapSkinImage(const CSkinImage& image)
{
    if (image.IsEmpty()) return {};
    return QImage(reinterpret_cast<const uchar*>(image.Pixels()), image.Width(), image.Height(),
                  image.Width() * 4, QImage::Format_RGB32);
}
