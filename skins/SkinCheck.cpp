#include "skins/SkinCheck.h"

#include <cstdarg>
#include <cstdio>

#include "platform/FileText.h"
#include "platform/MessageBox.h"
#include "skins/ButtonGroup.h"
#include "skins/SkinResources.h"

const char* const kSkinGroupSections[13] = {
    "Main",   "Default",   "Algebra",         "Trig1",     "Trig2",           "Memory",  "OppAndRpn",
    "BaseConversions", "Constants", "StatsConversion", "Custom1", "Custom2", "Custom3"};

namespace {

// Image failures reach the user as message boxes; the checker lists them.
class CollectingMessageBox : public IMessageBox {
public:
    explicit CollectingMessageBox(std::vector<std::string>& texts) : m_texts(texts)
    {
        SetMessageBoxService(this);
    }
    ~CollectingMessageBox() override { SetMessageBoxService(nullptr); }
    MessageAnswer Show(const std::string& text, const std::string&, MessageKind, MessageButtons) override
    {
        m_texts.push_back(text);
        return MessageAnswer::Ok;
    }

private:
    std::vector<std::string>& m_texts;
};

std::string Fmt(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Fmt(const char* format, ...)
{
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

struct Checker {
    CSkinResources res;
    const SkinCheckOptions& options;
    std::vector<SkinIssue>& issues;
    std::vector<std::string> messages;
    std::string where;
    std::string buttonFile;

    void Issue(const std::string& what) { issues.push_back({where, what}); }

    // Images go through the cache like the program's; decode failures arrive as messages.
    CSkinImage* Image(const std::string& name, const std::string& role)
    {
        if (name.empty()) return nullptr;
        messages.clear();
        std::string path = res.SkinPath(name);
        CSkinImage* img = res.LoadImage(path);
        if (img) return img;
        if (!messages.empty())
            Issue(role + " image " + name + " does not decode");
        else if (res.ImageCount() >= CSkinResources::kImageSlots)
            Issue(role + " image " + name + " is not loaded: the skin uses more than 40 images");
        else
            Issue(role + " image " + name + " is missing" + (res.DoubleScale() ? " (as vga_" + name + ")" : ""));
        return nullptr;
    }

    // Checks one button definition for a size set; fills its rectangle.
    bool Button(const std::string& name, int x, int y, int sizeSet, bool command, SkinRect& rect)
    {
        CIniStore& defs = res.ButtonDefinitions();
        const std::string label = "button " + name;
        if (defs.FindSection(name.c_str()) < 0) {
            Issue(label + ": no section [" + name + "] in " + buttonFile);
            return false;
        }
        bool ok = true;
        int type = 0, id = 0, style = 0, font = 0;
        const char* intKeys[] = {"BtnType", "BtnId", "BtnStyle", "FontStyle"};
        int* intValues[] = {&type, &id, &style, &font};
        for (int i = 0; i < 4; ++i)
            if (!defs.GetInt(*intValues[i], name.c_str(), intKeys[i], 0)) {
                Issue(label + ": missing key " + intKeys[i]);
                ok = false;
            }
        const std::string set = SizeSetName(sizeSet);
        std::string faceName, fontName;
        if (!defs.GetString(faceName, name.c_str(), ("BtnImage" + set).c_str(), "")) {
            Issue(label + ": missing key BtnImage" + set);
            ok = false;
        }
        if (!defs.GetString(fontName, name.c_str(), ("FontImage" + set).c_str(), "")) {
            Issue(label + ": missing key FontImage" + set);
            ok = false;
        }
        int bw = 0, bh = 0, lw = 0, lh = 0, ox = 0, oy = 0;
        bool sizes = defs.GetIntPair(bw, bh, "Init", ("BtnDimension" + set).c_str(), 0, 0) &&
                     defs.GetIntPair(lw, lh, "Init", ("FntDimension" + set).c_str(), 0, 0) &&
                     defs.GetIntPair(ox, oy, "Init", ("FntOffSet" + set).c_str(), 0, 0);
        if (!sizes) ok = false;  // reported once per file
        if (command && ok && options.isKnownCommand && !options.isKnownCommand(type, id))
            Issue(Fmt("%s: the calculator does not know the command pair BtnType=%d, BtnId=%d", label.c_str(), type, id));
        CSkinImage* face = Image(faceName, label + ": face");
        CSkinImage* text = Image(fontName, label + ": label");
        style = ClampSkinValue(style, -kSkinMaxStyle, kSkinMaxStyle);
        font = ClampSkinValue(font, -kSkinMaxStyle, kSkinMaxStyle);
        bw = ClampSkinValue(bw, 0, kSkinMaxSize);
        bh = ClampSkinValue(bh, 0, kSkinMaxSize);
        lw = ClampSkinValue(lw, 0, kSkinMaxSize);
        lh = ClampSkinValue(lh, 0, kSkinMaxSize);
        if (face && sizes && (face->Width() < 3 * bw || face->Height() < bh * (style + 1)))
            Issue(Fmt("%s: face image %s is %dx%d, too small for BtnStyle %d of %dx%d buttons", label.c_str(),
                      faceName.c_str(), face->Width(), face->Height(), style, bw, bh));
        if (text && sizes && (text->Width() < lw * (font + 1) || text->Height() < 2 * lh))
            Issue(Fmt("%s: label image %s is %dx%d, too small for FontStyle %d of %dx%d labels", label.c_str(),
                      fontName.c_str(), text->Width(), text->Height(), font, lw, lh));
        rect = {x, y, x + bw, y + bh};
        return ok && face && text;
    }

    void SizeKeys()
    {
        for (int set : {kSizeLarge, kSizeMedium, kSizeSmall}) {
            const std::string name = SizeSetName(set);
            for (const char* key : {"BtnDimension", "FntDimension", "FntOffSet"}) {
                int x, y;
                if (!res.ButtonDefinitions().GetIntPair(x, y, "Init", (key + name).c_str(), 0, 0))
                    Issue(std::string("missing key ") + key + name + " in [Init] of " + buttonFile);
            }
        }
    }

    void Group(const char* section, int preferLarge, int compact, int pageW, int pageH)
    {
        std::string location;
        res.GetSkinString(location, section, "Location", "MainButtonLocations");
        if (location == "MainButtonLocations" && compact) location += "Small";
        if (res.Description().FindSection(section) < 0) Issue(std::string("no section [") + section + "]");
        if (res.Description().FindSection(location.c_str()) < 0) Issue("no location section [" + location + "]");
        int count = 0;
        res.GetSkinInt(count, location.c_str(), "NumberOfButtons", 0);
        if (count <= 0) {
            Issue("NumberOfButtons of [" + location + "] is 0 or missing");
            return;
        }
        if (count > CButtonGroup::kMaxButtons) Issue(Fmt("[%s] has %d buttons; a page holds 80", location.c_str(), count));
        const int sizeSet = ChooseSizeSet(count, preferLarge, compact);
        std::vector<std::pair<std::string, SkinRect>> placed;
        int x = 0, y = 0;
        for (int n = 1; n <= count && n <= CButtonGroup::kMaxButtons; ++n) {
            res.GetSkinPair(x, y, location.c_str(), Fmt("Coord%d", n).c_str(), x, y);
            x = ClampSkinValue(x, -kSkinMaxCoord, kSkinMaxCoord);
            y = ClampSkinValue(y, -kSkinMaxCoord, kSkinMaxCoord);
            std::string name;
            if (!res.GetSkinString(name, section, Fmt("Btn%d", n).c_str(), "") || name.empty()) {
                Issue(Fmt("Btn%d is missing: the group stops after %d of %d buttons", n, n - 1, count));
                break;
            }
            SkinRect rect;
            if (!Button(name, res.Scaled(x), res.Scaled(y), sizeSet, true, rect)) continue;
            const std::string label = Fmt("Btn%d (%s)", n, name.c_str());
            if (rect.left < 0 || rect.top < 0 || rect.right > res.Scaled(pageW) || rect.bottom > res.Scaled(pageH))
                Issue(Fmt("%s at %d,%d reaches outside the %dx%d page", label.c_str(), rect.left, rect.top,
                          res.Scaled(pageW), res.Scaled(pageH)));
            for (const auto& [other, r] : placed)
                if (rect.left < r.right && r.left < rect.right && rect.top < r.bottom && r.top < rect.bottom)
                    Issue(label + " overlaps " + other);
            placed.push_back({label, rect});
        }
    }

    void MenuKeys(const std::string& name)
    {
        CIniStore& defs = res.ButtonDefinitions();
        std::string s;
        int v;
        uint32_t c;
        if (!defs.GetString(s, name.c_str(), "Background", "")) Issue("menu button " + name + ": missing key Background");
        else Image(s, "menu button " + name + ": Background");
        if (!defs.GetColor(c, name.c_str(), "TextColor", 0)) Issue("menu button " + name + ": missing key TextColor");
        if (!defs.GetString(s, name.c_str(), "TextFont", "Tahoma")) Issue("menu button " + name + ": missing key TextFont");
        for (const char* key : {"TextHeight", "TextWeight", "MenuItemHeight", "MenuItemWidth"})
            if (!defs.GetInt(v, name.c_str(), key, 0)) Issue("menu button " + name + ": missing key " + key);
    }

    void Page(const char* section, std::vector<std::pair<const char*, const char*>> buttons)
    {
        if (res.Description().FindSection(section) < 0) Issue(std::string("no section [") + section + "]");
        for (const auto& [key, def] : buttons) {
            std::string base(key);
            int x = 0, y = 0;
            std::string name;
            res.GetSkinPair(x, y, section, (base + "Location").c_str(), 0, 0);
            x = ClampSkinValue(x, -kSkinMaxCoord, kSkinMaxCoord);
            y = ClampSkinValue(y, -kSkinMaxCoord, kSkinMaxCoord);
            res.GetSkinString(name, section, key, def);
            if (base == "BtnMenu") MenuKeys(name);
            SkinRect rect;
            Button(name, res.Scaled(x), res.Scaled(y), kSizeLarge, false, rect);
        }
    }

    void Scale(int doubleScale, const std::string& descriptionPath)
    {
        const std::string suffix = doubleScale ? " at double scale" : "";
        res.ClearImages();
        res.SetDoubleScale(doubleScale);
        where = "files" + suffix;
        std::string button;
        res.GetSkinString(button, "Init", "Button", "Button.ini");
        buttonFile = (doubleScale ? "vga_" : "") + button;
        res.SetSkinFolder(SkinFolderOf(descriptionPath));
        std::string path = ResolveFileCase(res.SkinPath(buttonFile));
        if (!res.LoadButtonDefinitions(path.c_str())) {
            Issue("cannot read the button definition file " + path);
            return;
        }
        Capacity(path);
        SizeKeys();
        where = "[Init]" + suffix;
        for (const char* key : {"BackgroundWide", "ConvBackground", "TipCalcBackground", "CurrencyBackground"}) {
            std::string name;
            res.GetSkinString(name, "Init", key, "");
            Image(name, key);
        }
        std::string marker;
        res.GetSkinString(marker, "Init", "ConvMarkerImage", "conversion_marker");
        Image(marker, "ConvMarkerImage");
        for (int g = 0; g < 13; ++g) {
            where = std::string("[") + kSkinGroupSections[g] + "]" + suffix;
            if (g == 0) {
                Group("Main", 1, 0, 240, 162);
                where = "[Main] compact layout" + suffix;
                Group("Main", 1, 1, 240, 162);
            } else {
                Group(kSkinGroupSections[g], 0, 0, 240, 80);
            }
        }
        where = "[Display]" + suffix;
        Page("Display", {{"BtnMenu", "MenuButton"}});
        where = "[UnitConverter]" + suffix;
        Page("UnitConverter", {{"BtnMenu", "MenuButton"}, {"BtnConversion", "ConversionButton"},
                               {"BtnFrom", "ConvertFromButton"}, {"BtnTo", "ConvertToButton"}});
        where = "[Currency]" + suffix;
        Page("Currency", {{"BtnMenu", "MenuButton"}, {"BtnFrom", "ConvertFromButton"}, {"BtnTo", "ConvertToButton"}});
        where = "[TipCalculator]" + suffix;
        Page("TipCalculator", {{"BtnMenu", "MenuButton"}, {"BtnPercentage", "PercentageButton"},
                               {"BtnNumPeople", "NumPeopleButton"}});
    }

    // The INI store reads 30,000 bytes and keeps 125 sections: more is lost silently.
    void Capacity(const std::string& path)
    {
        std::string text;
        int error = 0;
        ReadFileText(path, text, error);
        if (text.size() > 30000)
            Issue(Fmt("%s has %zu bytes; only the first 30000 are read", path.c_str(), text.size()));
        int sections = 0;
        bool lineStart = true;
        for (char ch : text) {
            if (lineStart && ch == '[') ++sections;
            lineStart = ch == '\n';
        }
        if (sections > 125) Issue(Fmt("%s has %d sections; only the first 125 are kept", path.c_str(), sections));
    }
};

}  // namespace

int CheckSkin(const std::string& descriptionPath, const SkinCheckOptions& options, std::vector<SkinIssue>& issues)
{
    const size_t before = issues.size();
    Checker c{CSkinResources(), options, issues, {}, "files", ""};
    CollectingMessageBox box(c.messages);
    std::string path = ResolveFileCase(descriptionPath);
    if (!c.res.LoadSkinDescription(path.c_str())) {
        c.Issue("cannot read the skin description " + descriptionPath);
        return static_cast<int>(issues.size() - before);
    }
    c.Capacity(path);
    c.Scale(0, path);
    if (options.checkDoubleScale) c.Scale(1, path);
    return static_cast<int>(issues.size() - before);
}
