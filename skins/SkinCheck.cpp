#include "skins/SkinCheck.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "platform/AsciiCase.h"
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

// What a key's value must hold. The reader takes the leading number of any
// text (so "abc" reads as 0) and skips empty pieces of a list; an author
// needs to hear of both.
enum class Value { Whole, NonNegative, Positive, Pair, PositivePair, Colour };

bool ReadWhole(const std::string& text, long& value)
{
    const char* begin = text.c_str();
    while (*begin == ' ' || *begin == '\t') ++begin;
    char* end = nullptr;
    value = std::strtol(begin, &end, 10);
    if (end == begin) return false;
    while (*end == ' ' || *end == '\t') ++end;
    return *end == '\0';
}

// Numbers separated by commas, every piece a whole number within [low, high].
bool ReadList(const std::string& text, size_t count, long low, long high)
{
    size_t start = 0;
    for (size_t i = 0; i < count; ++i) {
        size_t comma = text.find(',', start);
        bool last = i + 1 == count;
        if (last != (comma == std::string::npos)) return false;
        long value = 0;
        if (!ReadWhole(text.substr(start, last ? std::string::npos : comma - start), value)) return false;
        if (value < low || value > high) return false;
        start = comma + 1;
    }
    return true;
}

// Empty when `text` is what `kind` asks for; else what it must be.
std::string ValueProblem(const std::string& text, Value kind)
{
    const long big = 1L << 30;
    switch (kind) {
    case Value::Whole: return ReadList(text, 1, -big, big) ? "" : "a whole number";
    case Value::NonNegative: return ReadList(text, 1, 0, big) ? "" : "a whole number from 0 up";
    case Value::Positive: return ReadList(text, 1, 1, big) ? "" : "a whole number above 0";
    case Value::Pair: return ReadList(text, 2, -big, big) ? "" : "two whole numbers x,y";
    case Value::PositivePair: return ReadList(text, 2, 1, big) ? "" : "two whole numbers above 0, width,height";
    case Value::Colour: return ReadList(text, 3, 0, 255) ? "" : "three numbers from 0 to 255, red,green,blue";
    }
    return "";
}

// The line of a key, or of its section's header when the key is missing.
int LineOf(const CIniStore& store, const char* section, const char* key)
{
    int s = store.FindSection(section);
    if (s < 0) return 0;
    int k = store.FindKey(s, key);
    return k >= 0 ? store.KeyLine(s, k) : store.SectionLine(s);
}

// Whether anything but blanks follows the given 1-based line.
bool HasContentAfterLine(const std::string& text, int line)
{
    size_t pos = 0;
    for (int n = 0; n < line; ++n) {
        pos = text.find('\n', pos);
        if (pos == std::string::npos) return false;
        ++pos;
    }
    return text.find_first_not_of(" \t\r\n", pos) != std::string::npos;
}

struct Checker {
    Checker(const SkinCheckOptions& o, std::vector<SkinIssue>& found) : options(o), issues(found) {}

    CSkinResources res;
    const SkinCheckOptions& options;
    std::vector<SkinIssue>& issues;
    std::vector<std::string> messages;
    std::string where = "files";
    std::string root;        // the folder of the description; issue files are named from it
    std::string description; // the description as read, named from root
    std::string buttonFile;  // the button definition file as read, named from root
    std::set<std::string> reported;
    std::set<std::string> failedImages;
    std::string buttonName;  // its name in the skin folder, for messages
    bool sizesValid[3] = {true, true, true};  // per size set, the [Init] sizes are there and sound

    std::string Shown(const std::string& path) const
    {
        return path.compare(0, root.size(), root) == 0 ? path.substr(root.size()) : path;
    }

    // A problem of a file line is one problem however many buttons meet it.
    void Issue(const std::string& what, const std::string& file = std::string(), int line = 0)
    {
        std::string key = (file.empty() ? where : file + ":" + std::to_string(line)) + "\n" + what;
        if (reported.insert(key).second) issues.push_back({where, what, file, line});
    }

    // Reports a value that is present but not what its key must hold.
    bool CheckValue(CIniStore& store, const std::string& file, const char* section, const std::string& key,
                    Value kind, const std::string& label)
    {
        std::string text;
        if (!store.GetString(text, section, key.c_str(), "")) return true;
        std::string must = ValueProblem(text, kind);
        if (must.empty()) return true;
        Issue(label + ": " + key + "=" + text + " is not " + must, file, LineOf(store, section, key.c_str()));
        return false;
    }
    bool DescriptionValue(const char* section, const std::string& key, Value kind)
    {
        return CheckValue(res.Description(), description, section, key, kind, std::string("[") + section + "]");
    }

    // Images go through the cache like the program's; decode failures arrive
    // as messages. Named as the file read: "vga_" at double scale.
    CSkinImage* Image(const std::string& name, const std::string& role, const std::string& file, int line)
    {
        if (name.empty()) return nullptr;
        std::string path = res.SkinPath(name);
        std::string read = ResolveFileCase(res.DoubleScale() ? VgaPath(path) : path);
        if (failedImages.count(read)) return nullptr;
        messages.clear();
        CSkinImage* img = res.LoadImage(path);
        if (img) return img;
        failedImages.insert(read);
        std::string shown = read.compare(0, res.SkinFolder().size(), res.SkinFolder()) == 0
                                ? read.substr(res.SkinFolder().size())
                                : read;
        if (!messages.empty())
            Issue(role + " image " + shown + " does not decode", file, line);
        else if (res.ImageCount() >= CSkinResources::kImageSlots)
            Issue(role + " image " + shown + " is not loaded: the skin uses more than 40 images", file, line);
        else
            Issue(role + " image " + shown + " is missing", file, line);
        return nullptr;
    }

    // Checks one button definition for a size set; fills its rectangle.
    bool Button(const std::string& name, int x, int y, int sizeSet, bool command, SkinRect& rect)
    {
        CIniStore& defs = res.ButtonDefinitions();
        const std::string label = "button " + name;
        const char* section = name.c_str();
        if (defs.FindSection(section) < 0) {
            Issue(label + ": no section [" + name + "] in " + buttonName, buttonFile);
            return false;
        }
        const int header = defs.SectionLine(defs.FindSection(section));
        bool ok = true;
        int type = 0, id = 0, style = 0, font = 0;
        const char* intKeys[] = {"BtnType", "BtnId", "BtnStyle", "FontStyle"};
        const Value kinds[] = {Value::Whole, Value::Whole, Value::NonNegative, Value::NonNegative};
        int* intValues[] = {&type, &id, &style, &font};
        for (int i = 0; i < 4; ++i) {
            if (!defs.GetInt(*intValues[i], section, intKeys[i], 0)) {
                Issue(label + ": missing key " + intKeys[i], buttonFile, header);
                ok = false;
            } else if (!CheckValue(defs, buttonFile, section, intKeys[i], kinds[i], label)) {
                ok = false;
            }
        }
        const std::string set = SizeSetName(sizeSet);
        std::string faceName, fontName;
        for (auto [key, out] : {std::pair{"BtnImage", &faceName}, std::pair{"FontImage", &fontName}})
            if (!defs.GetString(*out, section, (key + set).c_str(), "")) {
                Issue(label + ": missing key " + key + set, buttonFile, header);
                ok = false;
            }
        int bw = 0, bh = 0, lw = 0, lh = 0, ox = 0, oy = 0;
        bool sizes = sizesValid[sizeSet] && defs.GetIntPair(bw, bh, "Init", ("BtnDimension" + set).c_str(), 0, 0) &&
                     defs.GetIntPair(lw, lh, "Init", ("FntDimension" + set).c_str(), 0, 0) &&
                     defs.GetIntPair(ox, oy, "Init", ("FntOffSet" + set).c_str(), 0, 0);
        if (!sizes) ok = false;  // reported once per file
        if (command && ok && options.isKnownCommand && !options.isKnownCommand(type, id))
            Issue(Fmt("%s: the calculator does not know the command pair BtnType=%d, BtnId=%d", label.c_str(), type, id),
                  buttonFile, LineOf(defs, section, "BtnType"));
        CSkinImage* face = Image(faceName, label + ": face", buttonFile, LineOf(defs, section, ("BtnImage" + set).c_str()));
        CSkinImage* text = Image(fontName, label + ": label", buttonFile, LineOf(defs, section, ("FontImage" + set).c_str()));
        style = ClampSkinValue(style, 0, kSkinMaxStyle);
        font = ClampSkinValue(font, 0, kSkinMaxStyle);
        bw = ClampSkinValue(bw, 0, kSkinMaxSize);
        bh = ClampSkinValue(bh, 0, kSkinMaxSize);
        lw = ClampSkinValue(lw, 0, kSkinMaxSize);
        lh = ClampSkinValue(lh, 0, kSkinMaxSize);
        if (face && sizes && ok && (face->Width() < 3 * bw || face->Height() < bh * (style + 1)))
            Issue(Fmt("%s: face image %s is %dx%d, too small for BtnStyle %d of %dx%d buttons", label.c_str(),
                      faceName.c_str(), face->Width(), face->Height(), style, bw, bh),
                  buttonFile, LineOf(defs, section, "BtnStyle"));
        if (text && sizes && ok && (text->Width() < lw * (font + 1) || text->Height() < 2 * lh))
            Issue(Fmt("%s: label image %s is %dx%d, too small for FontStyle %d of %dx%d labels", label.c_str(),
                      fontName.c_str(), text->Width(), text->Height(), font, lw, lh),
                  buttonFile, LineOf(defs, section, "FontStyle"));
        rect = {x, y, x + bw, y + bh};
        return ok && face && text;
    }

    void SizeKeys()
    {
        CIniStore& defs = res.ButtonDefinitions();
        for (int set : {kSizeLarge, kSizeMedium, kSizeSmall}) {
            const std::string name = SizeSetName(set);
            sizesValid[set] = true;
            for (const char* key : {"BtnDimension", "FntDimension", "FntOffSet"}) {
                int x, y;
                const std::string full = key + name;
                if (!defs.GetIntPair(x, y, "Init", full.c_str(), 0, 0)) {
                    Issue("missing key " + full + " in [Init] of " + buttonName, buttonFile, LineOf(defs, "Init", ""));
                    sizesValid[set] = false;
                } else if (!CheckValue(defs, buttonFile, "Init", full,
                                       std::string(key) == "FntOffSet" ? Value::Pair : Value::PositivePair, "[Init]")) {
                    sizesValid[set] = false;
                }
            }
        }
    }

    void Group(const char* section, int preferLarge, int compact, int pageW, int pageH)
    {
        std::string location;
        res.GetSkinString(location, section, "Location", "MainButtonLocations");
        if (location == "MainButtonLocations" && compact) location += "Small";
        if (res.Description().FindSection(section) < 0) Issue(std::string("no section [") + section + "]", description);
        if (res.Description().FindSection(location.c_str()) < 0)
            Issue("no location section [" + location + "]", description, LineOf(res.Description(), section, "Location"));
        if (!DescriptionValue(location.c_str(), "NumberOfButtons", Value::Whole)) return;
        int count = 0;
        res.GetSkinInt(count, location.c_str(), "NumberOfButtons", 0);
        if (count <= 0) {
            Issue("NumberOfButtons of [" + location + "] is 0 or missing", description,
                  LineOf(res.Description(), location.c_str(), "NumberOfButtons"));
            return;
        }
        if (count > CButtonGroup::kMaxButtons)
            Issue(Fmt("[%s] has %d buttons; a page holds 80", location.c_str(), count), description,
                  LineOf(res.Description(), location.c_str(), "NumberOfButtons"));
        const int sizeSet = ChooseSizeSet(count, preferLarge, compact);
        std::vector<std::pair<std::string, SkinRect>> placed;
        int x = 0, y = 0;
        for (int n = 1; n <= count && n <= CButtonGroup::kMaxButtons; ++n) {
            DescriptionValue(location.c_str(), Fmt("Coord%d", n), Value::Pair);
            res.GetSkinPair(x, y, location.c_str(), Fmt("Coord%d", n).c_str(), x, y);
            x = ClampSkinValue(x, -kSkinMaxCoord, kSkinMaxCoord);
            y = ClampSkinValue(y, -kSkinMaxCoord, kSkinMaxCoord);
            std::string name;
            if (!res.GetSkinString(name, section, Fmt("Btn%d", n).c_str(), "") || name.empty()) {
                Issue(Fmt("Btn%d is missing: the group stops after %d of %d buttons", n, n - 1, count), description,
                      LineOf(res.Description(), section, Fmt("Btn%d", n).c_str()));
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
        const char* section = name.c_str();
        const std::string label = "menu button " + name;
        const int header = LineOf(defs, section, "");
        std::string s;
        if (!defs.GetString(s, section, "Background", "")) Issue(label + ": missing key Background", buttonFile, header);
        else Image(s, label + ": Background", buttonFile, LineOf(defs, section, "Background"));
        if (!defs.GetString(s, section, "TextFont", "")) Issue(label + ": missing key TextFont", buttonFile, header);
        const std::pair<const char*, Value> keys[] = {{"TextColor", Value::Colour},         {"TextHeight", Value::Positive},
                                                      {"TextWeight", Value::NonNegative},   {"MenuItemHeight", Value::Positive},
                                                      {"MenuItemWidth", Value::Positive}};
        for (const auto& [key, kind] : keys) {
            if (!defs.GetString(s, section, key, "")) Issue(label + ": missing key " + key, buttonFile, header);
            else CheckValue(defs, buttonFile, section, key, kind, label);
        }
    }

    void Page(const char* section, std::vector<std::pair<const char*, const char*>> buttons)
    {
        if (res.Description().FindSection(section) < 0) Issue(std::string("no section [") + section + "]", description);
        DescriptionValue(section, "TextHeight", Value::Positive);
        DescriptionValue(section, "TextWeight", Value::NonNegative);
        DescriptionValue(section, "TextColor", Value::Colour);
        for (const auto& [key, def] : buttons) {
            std::string base(key);
            int x = 0, y = 0;
            std::string name;
            DescriptionValue(section, base + "Location", Value::Pair);
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
        failedImages.clear();
        where = "files" + suffix;
        std::string button;
        res.GetSkinString(button, "Init", "Button", "Button.ini");
        res.SetSkinFolder(SkinFolderOf(descriptionPath));
        buttonName = (doubleScale ? "vga_" : "") + button;
        std::string path = ResolveFileCase(res.SkinPath(buttonName));
        buttonFile = Shown(path);
        if (!res.LoadButtonDefinitions(path.c_str())) {
            Issue("cannot read the button definition file " + path, buttonFile);
            return;
        }
        FileShape(path, buttonFile);
        SizeKeys();
        where = "[Init]" + suffix;
        for (const char* key : {"BackgroundWide", "ConvBackground", "TipCalcBackground", "CurrencyBackground"}) {
            std::string name;
            res.GetSkinString(name, "Init", key, "");
            Image(name, key, description, LineOf(res.Description(), "Init", key));
        }
        std::string marker;
        res.GetSkinString(marker, "Init", "ConvMarkerImage", "conversion_marker");
        Image(marker, "ConvMarkerImage", description, LineOf(res.Description(), "Init", "ConvMarkerImage"));
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

    // Text the INI reader never sees: past 30,000 bytes or 125 sections, after
    // two empty lines in a row, or a first line hidden behind a byte-order mark.
    void FileShape(const std::string& path, const std::string& file)
    {
        std::string text;
        int error = 0;
        ReadFileText(path, text, error);
        if (text.size() > 30000) Issue(Fmt("has %zu bytes; only the first 30000 are read", text.size()), file);
        CIniStore store;
        store.LoadText(text);
        if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
            Issue("starts with a UTF-8 byte-order mark: its first line is not read as a section header, so what "
                  "follows it is lost; save the file without the mark",
                  file, 1);
        if (store.StopLine() > 0 && HasContentAfterLine(text, store.StopLine()))
            Issue("two empty lines in a row end the file here: nothing after them is read", file, store.StopLine());
        int sections = 0;
        bool lineStart = true;
        for (char ch : text) {
            if (lineStart && ch == '[') ++sections;
            lineStart = ch == '\n';
        }
        if (sections > 125) Issue(Fmt("has %d sections; only the first 125 are kept", sections), file);
    }
};

bool EndsInIni(const std::string& path)
{
    return path.size() > 4 && SameAsciiNoCase(std::string_view(path).substr(path.size() - 4), ".ini");
}

}  // namespace

int CheckSkin(const std::string& descriptionPath, const SkinCheckOptions& options, std::vector<SkinIssue>& issues)
{
    const size_t before = issues.size();
    Checker c(options, issues);
    CollectingMessageBox box(c.messages);
    std::string path = ResolveFileCase(descriptionPath);
    size_t slash = path.rfind('/');
    c.root = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    c.description = c.Shown(path);
    // The skin folder is the description's name less its last four characters.
    if (!EndsInIni(path)) {
        c.Issue("is no skin description: its name must end in .ini, and its skin folder is that name without it",
                descriptionPath);
    } else if (!c.res.LoadSkinDescription(path.c_str())) {
        c.Issue("cannot read the skin description " + descriptionPath, c.description);
    } else {
        c.FileShape(path, c.description);
        c.Scale(0, path);
        if (options.checkDoubleScale) c.Scale(1, path);
    }
    return static_cast<int>(issues.size() - before);
}
