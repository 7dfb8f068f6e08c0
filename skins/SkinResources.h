#pragma once
// The skin of the running program: its description file, its button
// definition file and the decoded images that every page borrows.
//
// Paths: every path here is absolute, a file-system path as the operating
// system takes it (UTF-8), with "/" as separator. The program folder and the
// skin folder end with "/". Names read from skin files (Windows-1252 bytes)
// are converted to UTF-8 when they are joined to a folder.
//
// Ownership: images belong to the cache. Buttons and pages only borrow them,
// and must be destroyed before the next skin load or ClearImages.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "datafiles/IniStore.h"
#include "skins/image/SkinImage.h"

// A font as the skin names it: face, cell height in pixels, weight (400
// normal, 700 bold).
struct SkinFont {
    std::string face;
    int height;
    int weight;
};

// What the caller tells the loading sequence (the settings are not read here).
struct SkinLoadRequest {
    std::string iniFile = "default.ini";  // the IniFile setting
    int doubleScale = 0;                   // the VGA setting
    // Text of the message shown when a skin file cannot be read; %s is the
    // path. The caller passes the current language's text; UTF-8.
    std::string unreadableFormat = "Error: Unable to read configuration file located in %s";
    std::string appTitle = "Tallix";
};

struct SkinLoadResult {
    std::string iniFile;       // the IniFile setting after the load
    int iniFileChanged = 0;    // 1 when the sequence fell back to "default.ini"
};

class CSkinResources {
public:
    static constexpr int kImageSlots = 40;
    static constexpr size_t kMaxPath = 255;

    CSkinResources();
    ~CSkinResources();
    CSkinResources(const CSkinResources&) = delete;
    CSkinResources& operator=(const CSkinResources&) = delete;

    // The one object of the program, made on first use; Release frees it at exit.
    static CSkinResources& Instance();
    static void Release();

    // 1 and the folder of the executable (trailing "/"); 0 when it cannot be read.
    int GetProgramFolder(std::string& out);
    // Replaces the program folder (tools and tests work on other folders).
    void SetProgramFolder(const std::string& folder);
    // The user's folder of what Tallix writes (trailing "/"):
    // $XDG_DATA_HOME/tallix/ unless replaced. Its "Skins/" holds the skins the
    // user adds, read before the shipped ones of the same name; its
    // "Customized/" the descriptions the user edited, one per skin.
    std::string UserFolder() const;
    void SetUserFolder(const std::string& folder);
    // The file names ("default.ini") of the user's and the shipped skins
    // complete at that scale (IsSkinComplete), sorted by name, each name once.
    std::vector<std::string> ListSkins(int doubleScale) const;
    // True for a name the IniFile setting may hold: a plain file name in the
    // skins folder (no folder part, not hidden, not "." or "..").
    static bool IsPlainSkinName(const std::string& name);

    // Double scale: selects the "vga_" files. Set by LoadSkin, or directly.
    void SetDoubleScale(int on) { m_doubleScale = on ? 1 : 0; }
    int DoubleScale() const { return m_doubleScale; }
    // Multiplies a skin coordinate by the scale.
    int Scaled(int v) const { return m_doubleScale ? 2 * v : v; }

    // The loading sequence: description and button definition file of the
    // user's skin of that name, else of the shipped one, else of the shipped
    // "default.ini" (also for a name that is not plain); ClearImages; the four
    // backgrounds. A skin whose button file cannot be read is passed over;
    // when that changes the setting, the message names the file. 1 when the
    // skin is usable; 0 after the message has been shown, with no skin left
    // loaded (pages stay empty).
    int LoadSkin(const SkinLoadRequest& request, SkinLoadResult& result);

    // Reads the description at `path`, or the user's edited copy of it when
    // there is one (the skin's folder stays the one beside `path`).
    int LoadSkinDescription(const char* path);
    int IsDescriptionLoaded() const { return m_descriptionLoaded; }
    // Typed look-ups on the description; the default when nothing is loaded.
    int GetSkinString(std::string& out, const char* section, const char* key, const char* def);
    int GetSkinInt(int& out, const char* section, const char* key, int def);
    int GetSkinPair(int& x, int& y, const char* section, const char* key, int defX, int defY);
    int GetSkinColor(uint32_t& out, const char* section, const char* key, uint32_t def);
    CIniStore& Description() { return *m_description; }
    const std::string& DescriptionPath() const { return m_descriptionPath; }
    // The Customize page changed the description.
    void MarkDescriptionEdited() { m_descriptionEdited = 1; }
    int DescriptionEdited() const { return m_descriptionEdited; }
    // The user's copy of the loaded description (UserFolder()/Customized/NAME).
    const std::string& EditedDescriptionPath() const { return m_editedPath; }
    // Writes an edited description into the user's copy; the skin's own file
    // is never written. 1 at once when nothing was edited since the last
    // save. 0 when it cannot be written, the text would be longer than the
    // 30,000 bytes the next start reads, or the description was not read
    // whole (a save would drop the rest); the edit then stays pending for the
    // next save, and a message tells the user once (until a save succeeds).
    int SaveSkinDescription();

    // The button definition file of the loaded skin.
    CIniStore& ButtonDefinitions() { return *m_buttons; }
    int LoadButtonDefinitions(const char* path);

    // The folder of the loaded skin (trailing "/"); set by LoadSkin.
    const std::string& SkinFolder() const { return m_skinFolder; }
    void SetSkinFolder(const std::string& folder) { m_skinFolder = folder; }
    // Skin folder + name (the name converted from Windows-1252, a backslash read as "/").
    std::string SkinPath(const std::string& name) const;

    void ClearImages();
    // Forgets the skin: no description, no definitions, no images.
    void Unload();
    // The cached or newly decoded image of path (given without "vga_"); null
    // when the cache is full, the path empty, the file missing (silently) or
    // undecodable ("Unable to load File: %s").
    CSkinImage* LoadImage(const std::string& path);
    int ImageCount() const { return m_imageCount; }

    static int FileExists(const std::string& path);

    // The backgrounds named at skin load; null when the skin names none. The
    // three converter backgrounds take their cache places at skin load but
    // are decoded at their first use, after the window's first paint.
    CSkinImage* BackgroundWide() const { return m_backWide; }
    CSkinImage* ConvBackground() { return SlotImage(m_backConv); }
    CSkinImage* CurrencyBackground() { return SlotImage(m_backCurrency); }
    CSkinImage* TipCalcBackground() { return SlotImage(m_backTip); }

    // The two default fonts: bold 13-pixel, and the system's default size.
    const SkinFont& BoldFont() const { return m_boldFont; }
    const SkinFont& SystemFont() const { return m_systemFont; }

private:
    struct ImageSlot {
        std::unique_ptr<CSkinImage> image;
        std::string path;
        // While not yet decoded: the file on disk, and the path as asked
        // for (the one an error message names).
        std::string file, asked;
    };
    // The slot of path, found in the cache or newly taken, not decoded; -1
    // when the path is empty, the file missing or the cache full.
    int ReserveImage(const std::string& path);
    // The image of a slot, decoded now if it was only reserved.
    CSkinImage* SlotImage(int slot);
    void ShowUnreadable(const SkinLoadRequest& request, const std::string& path);
    // The description paths LoadSkin tries for a skin name, in order.
    std::vector<std::string> SkinCandidates(const std::string& name);

    std::string m_programFolder;
    int m_doubleScale = 0;
    std::unique_ptr<CIniStore> m_description;
    int m_descriptionLoaded = 0;
    std::string m_descriptionPath;
    std::string m_editedPath;
    std::string m_userFolder;
    int m_descriptionEdited = 0;
    int m_saveFailureShown = 0;
    std::unique_ptr<CIniStore> m_buttons;
    std::string m_skinFolder;
    std::array<ImageSlot, kImageSlots> m_slots;
    int m_imageCount = 0;
    CSkinImage* m_backWide = nullptr;
    int m_backConv = -1;
    int m_backCurrency = -1;
    int m_backTip = -1;
    SkinFont m_boldFont{"Tahoma", 13, 700};
    SkinFont m_systemFont{"Tahoma", 16, 400};
};

// folder + a name read from a skin (Windows-1252, "\\" as separator).
std::string JoinSkinPath(const std::string& folder, const std::string& name);
// The button definition file of a loaded description at that scale.
std::string ButtonFilePath(CIniStore& description, const std::string& descriptionPath, int doubleScale);
// True when the description reads and so does its button definition file at
// that scale ("vga_" at double scale): the skin can show its keys.
bool IsSkinComplete(const std::string& descriptionPath, int doubleScale);
// Inserts "vga_" before the file-name part of path (after its last "/").
std::string VgaPath(const std::string& path);
// The skin folder of a description path: the path minus its last four
// characters, plus "/" (".../Skins/my.skin.ini" gives ".../Skins/my.skin/").
std::string SkinFolderOf(const std::string& descriptionPath);
// path as it exists on disk: when the exact name is missing, the file (and
// folders) whose names differ only in letter case (skins are often made on
// systems that ignore case). Components that match nothing stay as given.
std::string ResolveFileCase(const std::string& path);
