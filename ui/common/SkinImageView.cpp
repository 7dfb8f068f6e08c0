#include "ui/common/SkinImageView.h"

QImage OpaqueSkinImage(const CSkinImage& image, const QRect& part)
{
    // Converting from RGB32 sets the alpha byte of every pixel.
    return WrapSkinImage(image).copy(part).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage WrapSkinImage(const CSkinImage& image)
{
    if (image.IsEmpty()) return {};
    return QImage(reinterpret_cast<const uchar*>(image.Pixels()), image.Width(), image.Height(),
                  image.Width() * 4, QImage::Format_RGB32);
}
