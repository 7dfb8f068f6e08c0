#include "ui/common/SkinPalette.h"

#include <QApplication>
#include <QStyle>

#include <string>

#include "datafiles/IniStore.h"
#include "skins/SkinResources.h"

namespace {
const QColor kHighlight(0, 0, 156);  // the group menu's highlight

// The average colour of an image (buffer pixels are 0x00RRGGBB).
QColor AverageColor(const CSkinImage& image)
{
    const uint32_t* pixel = image.Pixels();
    const int64_t count = static_cast<int64_t>(image.Width()) * image.Height();
    int64_t r = 0, g = 0, b = 0;
    for (int64_t i = 0; i < count; ++i) {
        r += (pixel[i] >> 16) & 0xFF;
        g += (pixel[i] >> 8) & 0xFF;
        b += pixel[i] & 0xFF;
    }
    return QColor(static_cast<int>(r / count), static_cast<int>(g / count), static_cast<int>(b / count));
}

QColor Mix(const QColor& a, const QColor& b, double towardB)
{
    const auto channel = [towardB](int x, int y) { return static_cast<int>(x + (y - x) * towardB + 0.5); };
    return QColor(channel(a.red(), b.red()), channel(a.green(), b.green()), channel(a.blue(), b.blue()));
}

// The menu's background and text colour; false when the skin has no menu look.
bool MenuColors(CSkinResources& resources, QColor& background, QColor& text)
{
    std::string section, image;
    resources.GetSkinString(section, "Display", "BtnMenu", "MenuButton");
    CIniStore& defs = resources.ButtonDefinitions();
    uint32_t color = 0;
    if (!defs.GetString(image, section.c_str(), "Background", "") || image.empty() ||
        !defs.GetColor(color, section.c_str(), "TextColor", 0))
        return false;
    const CSkinImage* picture = resources.LoadImage(resources.SkinPath(image));
    if (!picture || picture->IsEmpty()) return false;
    background = AverageColor(*picture);
    text = QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);  // 0x00BBGGRR
    return true;
}
}  // namespace

QPalette SkinPalette(CSkinResources& resources)
{
    QColor base, text;
    if (!MenuColors(resources, base, text)) return QApplication::style()->standardPalette();
    const QColor window = Mix(base, text, 0.06), button = Mix(base, text, 0.12);
    QPalette p(text, button, Mix(button, Qt::white, 0.3), Mix(button, Qt::black, 0.35), Mix(button, Qt::black, 0.2),
               text, text, base, window);
    p.setColor(QPalette::AlternateBase, Mix(base, text, 0.04));
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, Mix(base, text, 0.5));
    p.setColor(QPalette::Highlight, kHighlight);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, Mix(QColor(64, 128, 255), text, base.lightness() < 128 ? 0.3 : 0.0));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, Mix(base, text, 0.45));
    return p;
}

void ApplySkinPalette(CSkinResources& resources) { QApplication::setPalette(SkinPalette(resources)); }
