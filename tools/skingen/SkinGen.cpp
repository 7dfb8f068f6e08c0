// skingen: draws one of our skins from its readable description.
//   skingen LAYOUT SKIN OUTDIR
// LAYOUT (layout.txt) says which buttons exist and where groups put them;
// SKIN (*.skin) gives the look. Writes OUTDIR/<Name>.ini and OUTDIR/<Name>/
// with Button.ini, vga_Button.ini and every image at both scales. The same
// inputs give the same files: fonts come from fixed files of fonts-dejavu-core.
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> values;
    std::vector<std::string> lines;  // lines without "="
    std::string Get(const std::string& key, const std::string& def = "") const
    {
        for (const auto& [k, v] : values)
            if (k == key) return v;
        return def;
    }
};

std::string Trim(const std::string& s)
{
    size_t a = s.find_first_not_of(" \t\r"), b = s.find_last_not_of(" \t\r");
    return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

std::vector<std::string> Split(const std::string& s, const std::string& sep)
{
    std::vector<std::string> out;
    size_t at = 0;
    for (;;) {
        size_t next = s.find(sep, at);
        out.push_back(Trim(s.substr(at, next == std::string::npos ? std::string::npos : next - at)));
        if (next == std::string::npos) return out;
        at = next + sep.size();
    }
}

std::vector<Section> ReadDescription(const char* path)
{
    std::vector<Section> sections;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "skingen: cannot read %s\n", path);
        std::exit(1);
    }
    QTextStream in(&file);
    while (!in.atEnd()) {
        std::string line = Trim(in.readLine().toStdString());
        if (line.empty() || line[0] == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            sections.push_back({line.substr(1, line.size() - 2), {}, {}});
        } else if (!sections.empty()) {
            size_t eq = line.find(" = ");
            if (eq == std::string::npos || line.find(" | ") != std::string::npos)
                sections.back().lines.push_back(line);
            else sections.back().values.push_back({Trim(line.substr(0, eq)), Trim(line.substr(eq + 3))});
        }
    }
    return sections;
}

const Section* Find(const std::vector<Section>& all, const std::string& name)
{
    for (const Section& s : all)
        if (s.name == name) return &s;
    return nullptr;
}

const char* kStyles[] = {"digit", "op", "func", "clear", "equals", "mem", "mode", "menu", "list"};
constexpr int kStyleCount = 9;
// Label strips hold at most this many columns, so that the double-scale
// strips stay well inside the image size every decoder accepts.
constexpr int kColumnsPerStrip = 60;

int StyleIndex(const std::string& name)
{
    for (int i = 0; i < kStyleCount; ++i)
        if (name == kStyles[i]) return i;
    std::fprintf(stderr, "skingen: unknown style %s\n", name.c_str());
    std::exit(1);
}

struct ButtonDef {
    std::string name, label;
    int type, id, style, column;
};

struct SizeSet {
    const char* name;
    int w, h, lw, lh, lx, ly;
    int digitPx, textPx;
};

const SizeSet kSets[] = {
    {"Large", 44, 36, 40, 20, 2, 8, 18, 15},
    {"Medium", 44, 24, 40, 18, 2, 3, 15, 13},
    {"Small", 32, 24, 30, 16, 1, 4, 13, 12},
};

struct StyleLook {
    QColor top, bottom, border, label;
    int inset[4];
};

struct Skin {
    std::string name, labelFamily, condensedFamily;
    int radius, shadow;
    std::map<std::string, QColor> colors;
    StyleLook styles[kStyleCount];
    QColor Color(const std::string& key) const { return colors.at(key); }
};

QColor Mix(const QColor& a, const QColor& b, double t)
{
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t);
}

QColor Darker(const QColor& c, double f) { return Mix(c, Qt::black, f); }

std::string Rgb(const QColor& c)
{
    return std::to_string(c.red()) + "," + std::to_string(c.green()) + "," + std::to_string(c.blue());
}

// A label is runs of normal, raised (^{..}) and lowered (_{..}) text.
struct Run {
    QString text;
    int shift;  // 0 normal, 1 raised, -1 lowered
};

std::vector<Run> ParseLabel(const std::string& label)
{
    std::vector<Run> runs;
    QString s = QString::fromStdString(label);
    QString current;
    for (int i = 0; i < s.size(); ++i) {
        if ((s[i] == '^' || s[i] == '_') && i + 1 < s.size() && s[i + 1] == '{') {
            int end = s.indexOf('}', i + 2);
            if (!current.isEmpty()) runs.push_back({current, 0});
            current.clear();
            runs.push_back({s.mid(i + 2, end - i - 2), s[i] == '^' ? 1 : -1});
            i = end;
        } else {
            current += s[i];
        }
    }
    if (!current.isEmpty()) runs.push_back({current, 0});
    return runs;
}

QFont LabelFont(const Skin& skin, bool condensed, double px)
{
    QFont f(QString::fromStdString(condensed ? skin.condensedFamily : skin.labelFamily));
    f.setPixelSize(std::max(4, int(px + 0.5)));
    f.setBold(true);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

double RunsWidth(const Skin& skin, const std::vector<Run>& runs, bool condensed, double px)
{
    double w = 0;
    for (const Run& r : runs)
        w += QFontMetricsF(LabelFont(skin, condensed, r.shift ? px * 0.68 : px)).horizontalAdvance(r.text);
    return w;
}

QPainterPath Rounded(const QRectF& r, double radius)
{
    QPainterPath p;
    p.addRoundedRect(r, radius, radius);
    return p;
}

// The face shapes of a style in a w x h cell at scale k.
struct Shapes {
    QRectF face, pressed, shadow;
    double radius;
};

Shapes FaceShapes(const Skin& skin, const StyleLook& look, int w, int h, int k)
{
    const int* in = look.inset;
    double sh = skin.shadow * k;
    QRectF face(in[0] * k + 0.5, in[1] * k + 0.5, w - (in[0] + in[2]) * k - 1.0,
                h - (in[1] + in[3]) * k - 1.0 - sh);
    Shapes s{face, face.translated(0, sh), face.translated(0, sh), 0};
    s.radius = std::min<double>(skin.radius * k, face.height() / 2);
    return s;
}

void PaintFace(QPainter& p, const Skin& skin, const StyleLook& look, const Shapes& s, bool pressed, int k)
{
    p.setRenderHint(QPainter::Antialiasing);
    QRectF r = pressed ? s.pressed : s.face;
    if (!pressed && skin.shadow)
        p.fillPath(Rounded(s.shadow, s.radius), Darker(skin.Color("WindowBottom"), 0.22));
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    double d = pressed ? 0.10 : 0.0;
    g.setColorAt(0, Darker(look.top, d));
    g.setColorAt(1, Darker(look.bottom, d));
    p.fillPath(Rounded(r, s.radius), g);
    p.setPen(QPen(Darker(look.border, d), k));
    p.drawPath(Rounded(r, s.radius));
}

struct Images {
    QImage face, label;
};

QImage Canvas(int w, int h, const QColor& fill)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(fill);
    return img;
}

// Face strip: normal, pressed and mask areas side by side, one row per style.
QImage DrawFaces(const Skin& skin, const SizeSet& set, int k)
{
    const int w = set.w * k, h = set.h * k;
    QImage img = Canvas(3 * w, h * kStyleCount, Qt::white);
    const QColor back = Mix(skin.Color("WindowTop"), skin.Color("WindowBottom"), 0.6);
    for (int s = 0; s < kStyleCount; ++s) {
        const StyleLook& look = skin.styles[s];
        Shapes shapes = FaceShapes(skin, look, w, h, k);
        for (int pressed = 0; pressed < 2; ++pressed) {
            QImage cell = Canvas(w, h, back);
            QPainter p(&cell);
            PaintFace(p, skin, look, shapes, pressed, k);
            p.end();
            QPainter(&img).drawImage(pressed * w, s * h, cell);
        }
        // Opaque wherever either look paints, so both sit on any background.
        QImage cover(w, h, QImage::Format_ARGB32);
        cover.fill(Qt::transparent);
        QPainter p(&cover);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::black, k));
        for (const QRectF& r : {shapes.face, shapes.pressed, shapes.shadow}) {
            p.fillPath(Rounded(r, shapes.radius), Qt::black);
            p.drawPath(Rounded(r, shapes.radius));
        }
        p.end();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                img.setPixel(2 * w + x, s * h + y, qAlpha(cover.pixel(x, y)) > 24 ? 0xFF000000u : 0xFFFFFFFFu);
    }
    return img;
}

// Label strip: one column per (label, style), glyphs on top, masks below.
QImage DrawLabels(const Skin& skin, const SizeSet& set, int k, const QImage& faces,
                  const std::vector<std::pair<std::string, int>>& columns)
{
    const int lw = set.lw * k, lh = set.lh * k;
    QImage img = Canvas(lw * int(columns.size()), 2 * lh, Qt::white);
    for (size_t c = 0; c < columns.size(); ++c) {
        const auto& [label, style] = columns[c];
        std::vector<Run> runs = ParseLabel(label);
        int glyphs = 0;
        for (const Run& r : runs) glyphs += int(r.text.size());
        bool condensed = glyphs >= 4;
        double px = (glyphs <= 1 || (style == 0 && glyphs <= 2) ? set.digitPx : set.textPx) * k;
        while (px > 6 * k && RunsWidth(skin, runs, condensed, px) > lw - 2 * k) px -= 0.5;

        QImage cover(lw, lh, QImage::Format_ARGB32);
        cover.fill(Qt::transparent);
        QPainter p(&cover);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setPen(skin.styles[style].label);
        double x = (lw - RunsWidth(skin, runs, condensed, px)) / 2;
        QFontMetricsF base(LabelFont(skin, condensed, px));
        double baseline = lh / 2.0 + base.capHeight() / 2.0;
        for (const Run& r : runs) {
            QFont f = LabelFont(skin, condensed, r.shift ? px * 0.68 : px);
            p.setFont(f);
            double y = baseline - (r.shift > 0 ? px * 0.42 : r.shift < 0 ? -px * 0.22 : 0);
            p.drawText(QPointF(x, y), r.text);
            x += QFontMetricsF(f).horizontalAdvance(r.text);
        }
        p.end();

        // Glyph pixels are blended onto the face they sit on, so the edges
        // stay smooth although the mask is all or nothing.
        QImage cell = faces.copy(set.lx * k, style * set.h * k + set.ly * k, lw, lh);
        QPainter(&cell).drawImage(0, 0, cover);
        QPainter(&img).drawImage(int(c) * lw, 0, cell);
        for (int y = 0; y < lh; ++y)
            for (int x2 = 0; x2 < lw; ++x2)
                img.setPixel(int(c) * lw + x2, lh + y, qAlpha(cover.pixel(x2, y)) > 60 ? 0xFF000000u : 0xFFFFFFFFu);
    }
    return img;
}

void Panel(QPainter& p, const Skin& skin, const QRectF& r, int k, bool bordered)
{
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, skin.Color("PanelTop"));
    g.setColorAt(1, skin.Color("Panel"));
    QPainterPath path = Rounded(r, 6 * k);
    p.fillPath(path, g);
    if (bordered) {
        p.setPen(QPen(skin.Color("PanelBorder"), k));
        p.drawPath(path);
    }
}

QImage Gradient(const Skin& skin, int w, int h, int fullHeight)
{
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 0, fullHeight);
    g.setColorAt(0, skin.Color("WindowTop"));
    g.setColorAt(1, skin.Color("WindowBottom"));
    p.fillRect(img.rect(), g);
    return img;
}

QRectF R(double x, double y, double w, double h, int k) { return QRectF(x * k + 0.5 * k, y * k + 0.5 * k, w * k - k, h * k - k); }

QImage DrawWide(const Skin& skin, int k)
{
    QImage img = Gradient(skin, 320 * k, 294 * k, 294 * k);
    QPainter p(&img);
    Panel(p, skin, R(44, 3, 232, 49, k), k, true);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(Rounded(R(41, 55, 238, 78, k), 8 * k), skin.Color("BandPanel"));
    return img;
}

enum class PageKind { Unit, Currency, Tip };

QImage DrawPage(const Skin& skin, PageKind kind, int k)
{
    QImage img = Gradient(skin, 240 * k, 134 * k, 294 * k);
    QPainter p(&img);
    Panel(p, skin, R(4, 3, 232, 49, k), k, true);
    if (kind == PageKind::Tip) {
        for (QRectF r : {R(48, 54, 70, 38, k), R(168, 54, 69, 38, k), R(4, 94, 114, 38, k), R(122, 94, 115, 38, k)})
            Panel(p, skin, r, k, true);
    } else {
        Panel(p, skin, R(48, 54, 189, 38, k), k, true);
        Panel(p, skin, R(48, 94, 189, 38, k), k, true);
    }
    return img;
}

QImage DrawMenuBackground(const Skin& skin, int k)
{
    QImage img(200 * k, 22 * k, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 0, img.height());
    g.setColorAt(0, skin.Color("MenuTop"));
    g.setColorAt(1, skin.Color("MenuBottom"));
    p.fillRect(img.rect(), g);
    return img;
}

QImage DrawMarker(const Skin& skin, int k)
{
    QImage img = Canvas(5 * k, 38 * k, skin.Color("Marker"));
    return img;
}

// Written unfiltered: our flat, gradient-filled images compress better
// than with adaptive filtering, and decode about twice as fast, which the
// window's start-up feels.
void Save(const QImage& img, const std::string& path)
{
    const QImage rgb = img.convertToFormat(QImage::Format_RGB888);
    FILE* f = std::fopen(path.c_str(), "wb");
    png_structp png = f ? png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr) : nullptr;
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = info != nullptr;
    if (ok && setjmp(png_jmpbuf(png))) ok = false;
    if (ok) {
        png_init_io(png, f);
        png_set_IHDR(png, info, png_uint_32(rgb.width()), png_uint_32(rgb.height()), 8, PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
        png_set_compression_level(png, 9);
        png_write_info(png, info);
        for (int y = 0; y < rgb.height(); ++y) png_write_row(png, rgb.constScanLine(y));
        png_write_end(png, nullptr);
    }
    if (png) png_destroy_write_struct(&png, info ? &info : nullptr);
    if (!f || !ok || std::fclose(f) != 0) {
        std::fprintf(stderr, "skingen: cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

void WriteText(const std::string& path, const std::string& text)
{
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "skingen: cannot write %s\n", path.c_str());
        std::exit(1);
    }
    // Skin files are Windows-1252; everything we write is ASCII.
    f.write(text.data(), qint64(text.size()));
}

std::string Pair(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }

Skin ReadSkin(const std::vector<Section>& desc)
{
    Skin skin;
    const Section* head = Find(desc, "Skin");
    const Section* colors = Find(desc, "Colors");
    if (!head || !colors) {
        std::fprintf(stderr, "skingen: the skin needs [Skin] and [Colors]\n");
        std::exit(1);
    }
    skin.name = head->Get("Name", "skin");
    skin.radius = std::stoi(head->Get("Radius", "6"));
    skin.shadow = std::stoi(head->Get("Shadow", "1"));
    for (const auto& [k, v] : colors->values) skin.colors[k] = QColor(QString::fromStdString(v));
    for (int s = 0; s < kStyleCount; ++s) {
        const Section* st = Find(desc, std::string("Style ") + kStyles[s]);
        if (!st) {
            std::fprintf(stderr, "skingen: missing [Style %s]\n", kStyles[s]);
            std::exit(1);
        }
        StyleLook& look = skin.styles[s];
        look.top = QColor(QString::fromStdString(st->Get("Top")));
        look.bottom = QColor(QString::fromStdString(st->Get("Bottom")));
        look.border = QColor(QString::fromStdString(st->Get("Border")));
        look.label = QColor(QString::fromStdString(st->Get("Label")));
        std::vector<std::string> in = Split(st->Get("Inset", "1 1 1 1"), " ");
        for (int i = 0; i < 4; ++i) look.inset[i] = std::stoi(in[i]);
    }
    return skin;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: skingen LAYOUT SKIN OUTDIR\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    std::vector<Section> layout = ReadDescription(argv[1]);
    std::vector<Section> desc = ReadDescription(argv[2]);
    Skin skin = ReadSkin(desc);
    const char* fontDir = "/usr/share/fonts/truetype/dejavu/";
    int regular = QFontDatabase::addApplicationFont(QString(fontDir) + "DejaVuSans-Bold.ttf");
    int condensed = QFontDatabase::addApplicationFont(QString(fontDir) + "DejaVuSansCondensed-Bold.ttf");
    if (regular < 0 || condensed < 0) {
        std::fprintf(stderr, "skingen: the DejaVu fonts (fonts-dejavu-core) are missing\n");
        return 1;
    }
    skin.labelFamily = QFontDatabase::applicationFontFamilies(regular).value(0).toStdString();
    skin.condensedFamily = QFontDatabase::applicationFontFamilies(condensed).value(0).toStdString();

    // Buttons and their label columns.
    std::vector<ButtonDef> buttons;
    for (const std::string& line : Find(layout, "Buttons")->lines) {
        std::vector<std::string> f = Split(line, " | ");
        if (f.size() != 5) {
            std::fprintf(stderr, "skingen: bad button line: %s\n", line.c_str());
            return 1;
        }
        buttons.push_back(ButtonDef{f[0], f[1], std::stoi(f[2]), std::stoi(f[3]), StyleIndex(f[4]), 0});
    }

    // Only the main keypad uses the Medium set (compact screens).
    std::set<std::string> mainButtons;
    for (const std::string& n : Split(Find(layout, "Group Main")->Get("Buttons"), " ")) mainButtons.insert(n);

    // The main keypad's labels take the first columns, so that the window's
    // first paint decodes one label strip, not two.
    std::vector<std::pair<std::string, int>> columns;
    const auto columnOf = [&columns](const ButtonDef& b) {
        const std::pair<std::string, int> key{b.label, b.style};
        size_t c = 0;
        while (c < columns.size() && columns[c] != key) ++c;
        if (c == columns.size()) columns.push_back(key);
        return int(c);
    };
    for (ButtonDef& b : buttons)
        if (mainButtons.count(b.name)) b.column = columnOf(b);
    for (ButtonDef& b : buttons) b.column = columnOf(b);

    const std::string folder = std::string(argv[3]) + "/" + skin.name;
    QDir().mkpath(QString::fromStdString(folder));
    const char* setFiles[] = {"large", "medium", "small"};
    for (int k = 1; k <= 2; ++k) {
        const std::string prefix = k == 2 ? "vga_" : "";
        for (int s = 0; s < 3; ++s) {
            QImage faces = DrawFaces(skin, kSets[s], k);
            Save(faces, folder + "/" + prefix + setFiles[s] + ".png");
            for (size_t first = 0; first < columns.size(); first += kColumnsPerStrip) {
                std::vector<std::pair<std::string, int>> strip(
                    columns.begin() + first, columns.begin() + std::min(columns.size(), first + kColumnsPerStrip));
                Save(DrawLabels(skin, kSets[s], k, faces, strip),
                     folder + "/" + prefix + setFiles[s] + "_text" + std::to_string(first / kColumnsPerStrip + 1) + ".png");
            }
        }
        Save(DrawWide(skin, k), folder + "/" + prefix + "background.png");
        Save(DrawPage(skin, PageKind::Unit, k), folder + "/" + prefix + "converter.png");
        Save(DrawPage(skin, PageKind::Currency, k), folder + "/" + prefix + "currency.png");
        Save(DrawPage(skin, PageKind::Tip, k), folder + "/" + prefix + "tip.png");
        Save(DrawMenuBackground(skin, k), folder + "/" + prefix + "menu.png");
        Save(DrawMarker(skin, k), folder + "/" + prefix + "marker.png");

        std::string ini = "; Button definitions of the " + skin.name + " skin (made by skingen)\n[Init]\n";
        for (const SizeSet& set : kSets) {
            ini += std::string("BtnDimension") + set.name + "=" + Pair(set.w * k, set.h * k) + "\n";
            ini += std::string("FntDimension") + set.name + "=" + Pair(set.lw * k, set.lh * k) + "\n";
            ini += std::string("FntOffSet") + set.name + "=" + Pair(set.lx * k, set.ly * k) + "\n";
        }
        for (const ButtonDef& b : buttons) {
            ini += "\n[" + b.name + "]\nBtnType=" + std::to_string(b.type) + "\nBtnId=" + std::to_string(b.id) +
                   "\nBtnStyle=" + std::to_string(b.style) + "\nFontStyle=" + std::to_string(b.column % kColumnsPerStrip) + "\n";
            const std::string strip = std::to_string(b.column / kColumnsPerStrip + 1);
            for (int s = 0; s < 3; ++s) {
                if (s == 1 && !mainButtons.count(b.name)) continue;
                if (s == 2 && b.type < 0) continue;
                ini += std::string("BtnImage") + kSets[s].name + "=" + setFiles[s] + ".png\n";
                ini += std::string("FontImage") + kSets[s].name + "=" + setFiles[s] + "_text" + strip + ".png\n";
            }
            if (b.name == "MenuButton") {
                ini += "Background=menu.png\nTextColor=" + Rgb(skin.Color("MenuText")) +
                       "\nTextFont=DejaVu Sans\nTextHeight=13\nTextWeight=400\nMenuItemHeight=22\nMenuItemWidth=170\n";
            }
        }
        WriteText(folder + "/" + prefix + "Button.ini", ini);
    }

    // The skin description.
    std::string d = "; The " + skin.name + " skin of Tallix (made by skingen from tools/skingen)\n";
    d += "[Init]\nButton=Button.ini\nBackgroundWide=background.png\nConvBackground=converter.png\n"
         "CurrencyBackground=currency.png\nTipCalcBackground=tip.png\nConvMarkerImage=marker.png\n";
    std::map<std::string, int> locationCount;
    for (const Section& s : layout) {
        if (s.name.rfind("Locations ", 0) == 0) {
            std::vector<std::string> g = Split(s.Get("Grid"), " ");
            locationCount[s.name.substr(10)] = std::stoi(g[0]) * std::stoi(g[1]);
        }
    }
    for (const Section& s : layout) {
        if (s.name.rfind("Group ", 0) != 0) continue;
        d += "\n[" + s.name.substr(6) + "]\nLocation=" + s.Get("Location") + "\n";
        std::vector<std::string> names = Split(s.Get("Buttons"), " ");
        if (int(names.size()) != locationCount[s.Get("Location")]) {
            std::fprintf(stderr, "skingen: group %s has %zu buttons for %d places\n", s.name.c_str(), names.size(),
                         locationCount[s.Get("Location")]);
            return 1;
        }
        for (size_t i = 0; i < names.size(); ++i) d += "Btn" + std::to_string(i + 1) + "=" + names[i] + "\n";
    }
    for (const Section& s : layout) {
        if (s.name.rfind("Locations ", 0) != 0) continue;
        std::vector<std::string> g = Split(s.Get("Grid"), " ");
        int cols = std::stoi(g[0]), rows = std::stoi(g[1]), x0 = std::stoi(g[2]), y0 = std::stoi(g[3]),
            dx = std::stoi(g[4]), dy = std::stoi(g[5]);
        d += "\n[" + s.name.substr(10) + "]\nNumberOfButtons=" + std::to_string(cols * rows) + "\n";
        for (int i = 0; i < cols * rows; ++i)
            d += "Coord" + std::to_string(i + 1) + "=" + Pair(x0 + (i % cols) * dx, y0 + (i / cols) * dy) + "\n";
    }
    const std::string textColor = Rgb(skin.Color("PageText"));
    for (const Section& s : layout) {
        if (s.name.rfind("Page ", 0) != 0) continue;
        std::string page = s.name.substr(5);
        // The history is drawn over the display's art, in its colours.
        bool display = page == "Display" || page == "History";
        d += "\n[" + page + "]\n";
        for (const auto& [key, value] : s.values) d += key + "=" + value + "\n";
        if (s.Get("BtnMenu").empty()) d += "BtnMenu=MenuButton\n";
        d += "TextFont=DejaVu Sans\nTextHeight=" + std::string(display ? "22" : "20") +
             "\nTextWeight=700\nTextColor=" + (display ? Rgb(skin.Color("DisplayText")) : textColor) + "\n";
    }
    WriteText(std::string(argv[3]) + "/" + skin.name + ".ini", d);
    std::printf("skingen: wrote %s.ini and %s/ (%zu buttons, %zu label columns)\n", skin.name.c_str(),
                skin.name.c_str(), buttons.size(), columns.size());
    return 0;
}
