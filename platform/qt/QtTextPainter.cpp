#include "platform/qt/QtTextPainter.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <algorithm>

QFont CQtTextPainter::MakeFont(const TextFontSpec& fontSpec)
{
    QFont font;
    const QString face = QString::fromStdString(fontSpec.face);
    if (!face.isEmpty() && QFontDatabase::hasFamily(face)) font.setFamilies({face, "DejaVu Sans"});
    else font.setFamilies({"DejaVu Sans"});
    const int height = std::max(1, fontSpec.height);
    font.setPixelSize(height);
    // Skin heights are cell heights; Qt's pixel size is the em, which is smaller.
    const double cell = QFontMetricsF(font).height();
    if (cell > height) font.setPixelSize(std::max(1, int(height * height / cell)));
    font.setWeight(QFont::Weight(std::clamp(fontSpec.weight <= 0 ? 400 : fontSpec.weight, 100, 900)));
    font.setStyleStrategy(fontSpec.antialiased ? QFont::PreferAntialias : QFont::NoAntialias);
    return font;
}

int CQtTextPainter::MeasureText(const TextFontSpec& font, const std::string& text)
{
    return int(QFontMetricsF(MakeFont(font)).horizontalAdvance(QString::fromUtf8(text)) + 0.5);
}

void CQtTextPainter::DrawText(TextSurface& surface, int x, int y, const TextFontSpec& fontSpec, uint32_t color,
                              const std::string& text)
{
    if (!surface.pixels || surface.width <= 0 || surface.height <= 0 || text.empty()) return;
    // The buffer is wrapped, not copied: Qt draws into the same memory.
    QImage image(reinterpret_cast<uchar*>(surface.pixels), surface.width, surface.height, surface.width * 4,
                 QImage::Format_RGB32);
    const QFont font = MakeFont(fontSpec);
    const QFontMetricsF metrics(font);
    const QString s = QString::fromUtf8(text);
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(QColor::fromRgb(0xFF000000u | color));
        painter.setRenderHint(QPainter::TextAntialiasing, fontSpec.antialiased);
        painter.drawText(QPointF(x, y + metrics.ascent()), s);
    }
    // Qt marks the pixels it wrote opaque (0xFF top byte); our pixels keep it 0.
    const int left = std::max(0, x - 2), top = std::max(0, y - 2);
    const int right = std::min(surface.width, x + int(metrics.horizontalAdvance(s)) + int(metrics.height()) + 2);
    const int bottom = std::min(surface.height, y + int(metrics.height()) + 2);
    for (int row = top; row < bottom; ++row)
        for (int col = left; col < right; ++col) surface.pixels[size_t(row) * surface.width + col] &= 0x00FFFFFFu;
}
