#include "skins/SkinResources.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <algorithm>

#include "platform/AsciiCase.h"
#include "platform/FileText.h"
#include "platform/MessageBox.h"
#include "platform/TextCodec.h"
#include "platform/UserFolders.h"
#include "skins/image/ImageCache.h"

namespace {

std::unique_ptr<CSkinResources> g_instance;

std::string FormatPath(const std::string& format, const std::string& path)
{
    std::string out;
    size_t at = format.find("%s");
    if (at == std::string::npos) return format;
    out = format.substr(0, at) + path + format.substr(at + 2);
    return out;
}

}  // namespace

std::string VgaPath(const std::string& path)
{
    size_t slash = path.rfind('/');
    size_t at = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(0, at) + "vga_" + path.substr(at);
}

std::string SkinFolderOf(const std::string& descriptionPath)
{
    size_t keep = descriptionPath.size() > 4 ? descriptionPath.size() - 4 : 0;
    return descriptionPath.substr(0, keep) + "/";
}

namespace {

// The entry of folder whose name equals name but for letter case; name itself
// when none does.
std::string MatchEntry(const std::string& folder, const std::string& name)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir) return name;
    std::string found = name;
    while (dirent* entry = readdir(dir)) {
        if (SameAsciiNoCase(entry->d_name, name)) {
            found = entry->d_name;
            break;
        }
    }
    closedir(dir);
    return found;
}

}  // namespace

std::string ResolveFileCase(const std::string& path)
{
    if (path.empty() || access(path.c_str(), F_OK) == 0) return path;
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return MatchEntry(".", path);
    if (slash + 1 == path.size()) return ResolveFileCase(path.substr(0, slash)) + "/";
    // The folders may differ in case as well (Dark.ini beside a folder "dark").
    std::string folder = slash == 0 ? "/" : ResolveFileCase(path.substr(0, slash)) + "/";
    return folder + MatchEntry(folder, path.substr(slash + 1));
}

CSkinResources::CSkinResources()
    : m_description(std::make_unique<CIniStore>()), m_buttons(std::make_unique<CIniStore>())
{
}

CSkinResources::~CSkinResources() = default;

CSkinResources& CSkinResources::Instance()
{
    if (!g_instance) g_instance = std::make_unique<CSkinResources>();
    return *g_instance;
}

void CSkinResources::Release() { g_instance.reset(); }

int CSkinResources::GetProgramFolder(std::string& out)
{
    if (m_programFolder.empty()) {
        m_programFolder = ProgramFolder();
        if (m_programFolder.empty()) {
            out.clear();
            return 0;
        }
    }
    out = m_programFolder;
    return 1;
}

void CSkinResources::SetProgramFolder(const std::string& folder)
{
    m_programFolder = folder;
    if (!m_programFolder.empty() && m_programFolder.back() != '/') m_programFolder += '/';
}

std::string CSkinResources::UserFolder() const
{
    return m_userFolder.empty() ? TallixDataFolder() : m_userFolder;
}

void CSkinResources::SetUserFolder(const std::string& folder)
{
    m_userFolder = folder;
    if (!m_userFolder.empty() && m_userFolder.back() != '/') m_userFolder += '/';
}

bool CSkinResources::IsPlainSkinName(const std::string& name)
{
    return !name.empty() && name[0] != '.' && name.find_first_of("/\\") == std::string::npos &&
           name.find('\0') == std::string::npos;
}

namespace {

void AddDescriptions(const std::string& folder, int doubleScale, std::vector<std::string>& names)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() <= 4 || !SameAsciiNoCase(name.substr(name.size() - 4), ".ini") ||
            !CSkinResources::IsPlainSkinName(name) || !IsSkinComplete(folder + name, doubleScale))
            continue;
        bool listed = false;
        for (const std::string& other : names) listed = listed || SameAsciiNoCase(other, name);
        if (!listed) names.push_back(name);
    }
    closedir(dir);
}

std::string FileNameOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

std::vector<std::string> CSkinResources::ListSkins(int doubleScale) const
{
    std::vector<std::string> names;
    // The user's copy first: a broken one gives way to a shipped skin of its name.
    AddDescriptions(UserFolder() + "Skins/", doubleScale, names);
    AddDescriptions(m_programFolder.empty() ? ProgramFolder() + "Skins/" : m_programFolder + "Skins/", doubleScale,
                    names);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return AsciiLower(x) < AsciiLower(y);
        });
    });
    return names;
}

int CSkinResources::LoadSkinDescription(const char* path)
{
    // An edited copy outlives its skin: without the skin it is no skin.
    if (!path || !FileExists(path)) return 0;
    const std::string edited = UserFolder() + "Customized/" + FileNameOf(path);
    // The user's edits win over the skin's own file, which is never written.
    int ok = FileExists(edited) && m_description->Load(edited.c_str());
    if (!ok) ok = m_description->Load(path);
    if (ok) {
        m_descriptionLoaded = 1;
        m_descriptionPath = path;
        m_editedPath = edited;
        m_descriptionEdited = 0;
        m_saveFailureShown = 0;
    }
    return ok;
}

int CSkinResources::SaveSkinDescription()
{
    if (!m_descriptionLoaded) return 0;
    if (!m_descriptionEdited) return 1;
    std::string reason;
    if (!m_description->ReadWhole()) {
        reason = "it was not read whole, and saving it would lose the rest";
    } else {
        MakeParentFolders(m_editedPath);
        // The edit stays pending until it is on disk: a later save (or the
        // one at exit) tries again after a moment of full disk.
        if (m_description->Save(m_editedPath.c_str())) {
            m_descriptionEdited = 0;
            m_saveFailureShown = 0;
            return 1;
        }
        reason = std::strerror(errno);
    }
    if (m_saveFailureShown) return 0;
    m_saveFailureShown = 1;
    MessageBoxService().Show("The changes to the skin description " + m_descriptionPath +
                                 " could not be saved to " + m_editedPath + " (" + reason + ").",
                             "Tallix", MessageKind::Warning, MessageButtons::Ok);
    return 0;
}

int CSkinResources::GetSkinString(std::string& out, const char* section, const char* key,
                                  const char* def)
{
    if (!m_descriptionLoaded) {
        out = def;
        return 0;
    }
    return m_description->GetString(out, section, key, def);
}

int CSkinResources::GetSkinInt(int& out, const char* section, const char* key, int def)
{
    if (!m_descriptionLoaded) {
        out = def;
        return 0;
    }
    return m_description->GetInt(out, section, key, def);
}

int CSkinResources::GetSkinPair(int& x, int& y, const char* section, const char* key, int defX,
                                int defY)
{
    if (!m_descriptionLoaded) {
        x = defX;
        y = defY;
        return 0;
    }
    return m_description->GetIntPair(x, y, section, key, defX, defY);
}

int CSkinResources::GetSkinColor(uint32_t& out, const char* section, const char* key,
                                 uint32_t def)
{
    if (!m_descriptionLoaded) {
        out = def;
        return 0;
    }
    return m_description->GetColor(out, section, key, def);
}

int CSkinResources::LoadButtonDefinitions(const char* path)
{
    // A failed load keeps the previous definitions; a good one replaces them.
    auto fresh = std::make_unique<CIniStore>();
    if (!fresh->Load(path)) return 0;
    m_buttons = std::move(fresh);
    return 1;
}

std::string CSkinResources::SkinPath(const std::string& name) const { return JoinSkinPath(m_skinFolder, name); }

void CSkinResources::ShowUnreadable(const SkinLoadRequest& request, const std::string& path)
{
    MessageBoxService().Show(FormatPath(request.unreadableFormat, path), request.appTitle,
                             MessageKind::Error, MessageButtons::Ok);
}

std::string JoinSkinPath(const std::string& folder, const std::string& name)
{
    // Skins name files in subfolders the Windows way ("faces\\keys.bmp").
    std::string path = folder + Cp1252ToUtf8(name);
    std::replace(path.begin() + static_cast<std::ptrdiff_t>(folder.size()), path.end(), '\\', '/');
    return path;
}

std::string ButtonFilePath(CIniStore& description, const std::string& descriptionPath, int doubleScale)
{
    std::string name;
    description.GetString(name, "Init", "Button", "Button.ini");
    return JoinSkinPath(SkinFolderOf(descriptionPath), doubleScale ? "vga_" + name : name);
}

bool IsSkinComplete(const std::string& descriptionPath, int doubleScale)
{
    CIniStore description, buttons;
    if (!CSkinResources::FileExists(descriptionPath) || !description.Load(descriptionPath.c_str())) return false;
    return buttons.Load(ResolveFileCase(ButtonFilePath(description, descriptionPath, doubleScale)).c_str());
}

std::vector<std::string> CSkinResources::SkinCandidates(const std::string& name)
{
    std::string folder;
    GetProgramFolder(folder);
    std::vector<std::string> paths;
    // A name with a folder part could reach (and later write) any file.
    if (IsPlainSkinName(name)) {
        const std::string own = ResolveFileCase(UserFolder() + "Skins/" + name);
        if (FileExists(own)) paths.push_back(own);
        paths.push_back(ResolveFileCase(folder + "Skins/" + name));
    }
    // The shipped default, never the user's copy of it: the last resort must work.
    const std::string fallback = ResolveFileCase(folder + "Skins/default.ini");
    if (paths.empty() || paths.back() != fallback) paths.push_back(fallback);
    return paths;
}

int CSkinResources::LoadSkin(const SkinLoadRequest& request, SkinLoadResult& result)
{
    result.iniFile = request.iniFile;
    result.iniFileChanged = 0;
    m_doubleScale = request.doubleScale ? 1 : 0;
    const std::string name = Cp1252ToUtf8(request.iniFile);
    const std::vector<std::string> candidates = SkinCandidates(name);

    // A skin without its button file (a description copied without its
    // folder, or no double-size file) would leave a window without keys and
    // without its menu: the next candidate is taken instead.
    std::string broken, missing;
    size_t chosen = 0;
    for (; chosen < candidates.size(); ++chosen) {
        const std::string& path = candidates[chosen];
        if (!LoadSkinDescription(path.c_str())) {
            missing = path;
            continue;
        }
        const std::string buttons = ButtonFilePath(*m_description, m_descriptionPath, m_doubleScale);
        if (LoadButtonDefinitions(ResolveFileCase(buttons).c_str())) break;
        if (broken.empty()) broken = buttons;
    }
    if (chosen == candidates.size()) {
        ShowUnreadable(request, broken.empty() ? missing : broken);
        Unload();
        return 0;
    }
    if (chosen + 1 == candidates.size()) {
        result.iniFile = "default.ini";
        result.iniFileChanged = request.iniFile != "default.ini";
        // Told once, as the setting changes: why the chosen skin is not shown.
        if (result.iniFileChanged && !broken.empty()) ShowUnreadable(request, broken);
    }
    ClearImages();
    m_skinFolder = SkinFolderOf(m_descriptionPath);

    // Loaded in the order wide, converter, tip, currency; an empty name is no image.
    std::string wide, conv, currency, tip;
    GetSkinString(wide, "Init", "BackgroundWide", "");
    GetSkinString(conv, "Init", "ConvBackground", "");
    GetSkinString(currency, "Init", "CurrencyBackground", "");
    GetSkinString(tip, "Init", "TipCalcBackground", "");
    m_backWide = wide.empty() ? nullptr : LoadImage(SkinPath(wide));
    m_backConv = conv.empty() ? -1 : ReserveImage(SkinPath(conv));
    m_backTip = tip.empty() ? -1 : ReserveImage(SkinPath(tip));
    m_backCurrency = currency.empty() ? -1 : ReserveImage(SkinPath(currency));
    return 1;
}

void CSkinResources::Unload()
{
    // No skin at all: the pages stay empty rather than show half of the old one.
    ClearImages();
    m_description = std::make_unique<CIniStore>();
    m_descriptionLoaded = 0;
    m_buttons = std::make_unique<CIniStore>();
}

void CSkinResources::ClearImages()
{
    for (ImageSlot& slot : m_slots) {
        slot.image.reset();
        slot.path.clear();
        slot.file.clear();
        slot.asked.clear();
    }
    m_imageCount = 0;
    m_backWide = nullptr;
    m_backConv = m_backCurrency = m_backTip = -1;
}

CSkinImage* CSkinResources::LoadImage(const std::string& path)
{
    return SlotImage(ReserveImage(path));
}

int CSkinResources::ReserveImage(const std::string& path)
{
    if (path.empty()) return -1;
    std::string wanted = m_doubleScale ? VgaPath(path) : path;
    // The cache is searched before the full-cache test, so that a skin with
    // exactly 40 images still gives every button its shared image.
    for (int i = 0; i < m_imageCount; ++i)
        if (SameAsciiNoCase(m_slots[i].path, wanted)) return i;
    if (m_imageCount >= kImageSlots) return -1;

    std::string onDisk = ResolveFileCase(wanted);
    if (!FileExists(onDisk)) return -1;
    ImageSlot& slot = m_slots[m_imageCount];
    slot.image.reset();
    slot.path = wanted;
    slot.file = onDisk;
    slot.asked = path;
    return m_imageCount++;
}

CSkinImage* CSkinResources::SlotImage(int index)
{
    if (index < 0 || index >= m_imageCount) return nullptr;
    ImageSlot& slot = m_slots[index];
    if (slot.file.empty()) return slot.image.get();
    const std::string file = std::move(slot.file), asked = std::move(slot.asked);
    slot.file.clear();
    slot.asked.clear();
    auto image = std::make_unique<CSkinImage>();
    if (LoadSkinImageFile(file, *image)) {
        slot.image = std::move(image);
        return slot.image.get();
    }
    // The last slot taken is given back, as if it had never been asked for; a
    // converter background decoded late keeps its place, empty.
    if (index == m_imageCount - 1) {
        slot.path.clear();
        --m_imageCount;
    }
    MessageBoxService().Show("Unable to load File: " + asked, "Error", MessageKind::Error,
                             MessageButtons::Ok);
    return nullptr;
}

int CSkinResources::FileExists(const std::string& path)
{
    // Only a regular file counts: a folder, FIFO or device is no file to read.
    int error = 0;
    const int fd = OpenDataFile(path, error);
    if (fd < 0) return 0;
    close(fd);
    return 1;
}
