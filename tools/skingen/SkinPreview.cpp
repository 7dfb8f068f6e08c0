// skinpreview: draws a skin the way the program does (its own loader, image
// cache, buttons and keypad painting) into PNG files, to look at.
//   skinpreview PROGRAM_FOLDER INIFILE OUTPUT.png [vga|normal [X Y W H ZOOM]]
// The sheet shows the whole face (display, Default group, main keypad) on
// the left and every keypad group's band, in menu order, on the right; the
// converter, currency and tip pages with their buttons follow below.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <tuple>

#include "platform/WindowMessage.h"
#include "platform/qt/QtTextPainter.h"
#include "skins/SkinText.h"
#include "skins/ButtonGroup.h"
#include "skins/KeypadSurface.h"
#include "skins/SkinResources.h"

namespace {

struct NullHost : ISkinHost {
    void InvalidateRect(const SkinRect&) override {}
};
struct NullTarget : IMessageTarget {
    void PostMessage(unsigned, intptr_t, intptr_t) override {}
    intptr_t SendMessage(unsigned, intptr_t, intptr_t) override { return 0; }
};

QImage ToQImage(const CSkinImage& img)
{
    QImage out(img.Width(), img.Height(), QImage::Format_RGB32);
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x) out.setPixel(x, y, 0xFF000000u | img.GetPixel(x, y));
    return out;
}

NullHost g_host;
NullTarget g_target;

QImage Keypad(CSkinResources& res, const char* section, int w, int h, int offX, int offY, int preferLarge)
{
    CButtonGroup group(&res);
    group.Load(kMsgButton, &g_host, &g_target, section, preferLarge, 0);
    CKeypadSurface surface;
    surface.Setup(res.Scaled(w), res.Scaled(h), res.BackgroundWide(), res.Scaled(offX), res.Scaled(offY));
    CSkinImage screen;
    screen.Create(res.Scaled(w), res.Scaled(h));
    surface.Paint({0, 0, res.Scaled(w), res.Scaled(h)}, group, screen, nullptr, 0, res.DoubleScale());
    return ToQImage(screen);
}

void SampleTexts(CSkinResources& res, const char* section, CSkinImage& page,
                 const std::vector<std::tuple<int, int, int, int, const char*>>& texts);

// A page with a background image of its own and skin buttons at keys of its section.
QImage Page(CSkinResources& res, const char* section, CSkinImage* background,
            const std::vector<std::pair<const char*, const char*>>& buttons, int withMarker)
{
    CSkinImage page;
    page.Create(res.Scaled(240), res.Scaled(134));
    if (background) page.Transfer(0, 0, page.Width(), page.Height(), *background, 0, 0, ERasterOp::Copy);
    for (const auto& [locationKey, nameKey] : buttons) {
        int x = 0, y = 0;
        std::string name;
        res.GetSkinPair(x, y, section, locationKey, 0, 0);
        res.GetSkinString(name, section, nameKey, "");
        CSkinButton button(&res);
        if (button.Create(res.Scaled(x), res.Scaled(y), name.c_str(), &g_host, &g_target, 0, kSizeLarge))
            button.Draw(page, {0, 0, page.Width(), page.Height()}, 1, 1);
        else
            std::fprintf(stderr, "skinpreview: %s: button %s not made\n", section, name.c_str());
    }
    if (withMarker) {
        std::string marker;
        res.GetSkinString(marker, "Init", "ConvMarkerImage", "conversion_marker");
        if (CSkinImage* m = res.LoadImage(res.SkinPath(marker)))
            page.Transfer(res.Scaled(48), res.Scaled(94), m->Width(), m->Height(), *m, 0, 0, ERasterOp::Copy);
    }
    if (std::string(section) == "UnitConverter")
        SampleTexts(res, section, page, {{231, 10, 18, 0, "Distance"}, {230, 55, 12, 400, "mi"},
                                         {230, 62, 0, 0, "1"}, {230, 95, 12, 400, "km"}, {230, 102, 0, 0, "1.609344"}});
    if (std::string(section) == "Currency")
        SampleTexts(res, section, page, {{230, 55, 12, 400, "USD"}, {230, 62, 0, 0, "$2.34"},
                                         {230, 95, 12, 400, "GBP"}, {230, 102, 0, 0, "1.00"}});
    if (std::string(section) == "TipCalculator")
        SampleTexts(res, section, page, {{230, 5, 12, 400, "Bill"}, {230, 13, 0, 0, "$84.50"},
                                         {109, 54, 12, 400, "Tip %"}, {111, 62, 0, 0, "15%"},
                                         {230, 54, 12, 400, "People"}, {230, 62, 0, 0, "3"},
                                         {109, 94, 12, 400, "Tip"}, {111, 102, 0, 0, "$12.68"},
                                         {230, 94, 12, 400, "Each"}, {230, 102, 0, 0, "$32.39"}});
    return ToQImage(page);
}

// Sample texts where the pages put theirs, in the page's font and colour.
void SampleTexts(CSkinResources& res, const char* section, CSkinImage& page,
                 const std::vector<std::tuple<int, int, int, int, const char*>>& texts)
{
    std::string face;
    int height = 20, weight = 700;
    uint32_t color = 0;
    res.GetSkinString(face, section, "TextFont", "Tahoma");
    res.GetSkinInt(height, section, "TextHeight", 20);
    res.GetSkinInt(weight, section, "TextWeight", 700);
    res.GetSkinColor(color, section, "TextColor", 0);
    for (const auto& [x, y, h, w, text] : texts)
        DrawSkinText(res.Scaled(x), res.Scaled(y), res.Scaled(h ? h : height), w ? w : weight, face, text, page,
                     color, 2);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: skinpreview PROGRAM_FOLDER INIFILE OUTPUT.png [vga]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    CQtTextPainter painter;
    SetTextPainterService(&painter);
    CSkinResources res;
    res.SetProgramFolder(argv[1]);
    SkinLoadRequest request;
    request.iniFile = argv[2];
    request.doubleScale = argc > 4 && std::strcmp(argv[4], "vga") == 0;
    SkinLoadResult result;
    if (!res.LoadSkin(request, result)) return 1;
    const int k = request.doubleScale ? 2 : 1;

    const char* groups[] = {"Default", "Algebra", "Trig1", "Trig2", "Memory", "OppAndRpn", "BaseConversions",
                            "Constants", "StatsConversion", "Custom1", "Custom2", "Custom3"};
    const int gap = 6 * k;
    QImage sheet(2 * 240 * k + 3 * gap, (12 * (80 + 6) + 6) * k, QImage::Format_RGB32);
    sheet.fill(0xFF808080);
    QPainter p(&sheet);
    // The face: display band, Default group and the main keypad.
    QImage face(240 * k, 294 * k, QImage::Format_RGB32);
    {
        QPainter fp(&face);
        if (CSkinImage* wide = res.BackgroundWide()) fp.drawImage(0, 0, ToQImage(*wide), 40 * k, 0, 240 * k, 54 * k);
        fp.drawImage(0, 0, Page(res, "Display", nullptr, {{"BtnMenuLocation", "BtnMenu"}}, 0).copy(0, 0, 240 * k, 54 * k),
                     0, 0, -1, -1, Qt::AutoColor);
    }
    // Draw the display with its background and menu button together.
    {
        CSkinImage display;
        display.Create(240 * k, 54 * k);
        if (CSkinImage* wide = res.BackgroundWide())
            display.Transfer(0, 0, 240 * k, 54 * k, *wide, 40 * k, 0, ERasterOp::Copy);
        int x = 0, y = 0;
        std::string name;
        res.GetSkinPair(x, y, "Display", "BtnMenuLocation", 0, 0);
        res.GetSkinString(name, "Display", "BtnMenu", "MenuButton");
        CSkinButton menu(&res);
        if (menu.Create(x * k, y * k, name.c_str(), &g_host, &g_target, 0, kSizeLarge))
            menu.Draw(display, {0, 0, 240 * k, 54 * k}, 1, 1);
        SampleTexts(res, "Display", display,
                    {{230, 13, 0, 0, "1,234.5678"}, {110, 6, 12, 400, "DEG"}, {75, 6, 12, 400, "+"},
                     {151, 6, 12, 400, "M1"}, {191, 6, 12, 400, "M3"}});
        QPainter fp(&face);
        fp.drawImage(0, 0, ToQImage(display));
        fp.drawImage(0, 54 * k, Keypad(res, "Default", 240, 80, 40, 54, 0));
        fp.drawImage(0, 134 * k, Keypad(res, "Main", 240, 160, 40, 134, 1));
    }
    p.drawImage(gap, gap, face);
    for (int i = 0; i < 12; ++i)
        p.drawImage(240 * k + 2 * gap, gap + i * (80 + 6) * k, Keypad(res, groups[i], 240, 80, 40, 54, 0));
    int y = gap + 294 * k + gap;
    p.drawImage(gap, y, Page(res, "UnitConverter", res.ConvBackground(),
                             {{"BtnMenuLocation", "BtnMenu"}, {"BtnConversionLocation", "BtnConversion"},
                              {"BtnFromLocation", "BtnFrom"}, {"BtnToLocation", "BtnTo"}}, 1));
    y += 134 * k + gap;
    p.drawImage(gap, y, Page(res, "Currency", res.CurrencyBackground(),
                             {{"BtnMenuLocation", "BtnMenu"}, {"BtnFromLocation", "BtnFrom"}, {"BtnToLocation", "BtnTo"}}, 1));
    y += 134 * k + gap;
    p.drawImage(gap, y, Page(res, "TipCalculator", res.TipCalcBackground(),
                             {{"BtnMenuLocation", "BtnMenu"}, {"BtnPercentageLocation", "BtnPercentage"},
                              {"BtnNumPeopleLocation", "BtnNumPeople"}}, 0));
    p.end();
    // Optional close-up: skinpreview ... vga|normal X Y W H ZOOM
    if (argc == 10) {
        int zoom = std::atoi(argv[9]);
        sheet = sheet.copy(std::atoi(argv[5]), std::atoi(argv[6]), std::atoi(argv[7]), std::atoi(argv[8]))
                    .scaled(std::atoi(argv[7]) * zoom, std::atoi(argv[8]) * zoom);
    }
    if (!sheet.save(argv[3])) return 1;
    std::printf("skinpreview: %s\n", argv[3]);
    return 0;
}
