#include "datafiles/UserData.h"

#include "platform/AsciiCase.h"
#include "platform/AtomicFile.h"
#include "platform/FileText.h"
#include "platform/UserFolders.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string_view>

std::string UserRatesPath() { return TallixDataFolder() + "Currency/Currency.ini"; }

std::string ShippedRatesPath() { return ProgramFolder() + "Currency/Currency.ini"; }


std::string EditedSkinsFolder() { return TallixDataFolder() + "Customized/"; }

namespace {

// The entry of `folder` named `name` in any case, the name itself when none is.
std::string FindEntry(const std::string& folder, const std::string& name)
{
    DIR* dir = opendir(folder.empty() ? "/" : folder.c_str());
    std::string found = name;
    if (!dir) return found;
    while (dirent* entry = readdir(dir))
        if (SameAsciiNoCase(entry->d_name, name)) {
            found = entry->d_name;
            if (found == name) break;
        }
    closedir(dir);
    return found;
}

} // namespace

std::string ExistingSpelling(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return path;
    std::string folder = path.substr(0, slash);
    size_t parentSlash = folder.rfind('/');
    if (parentSlash != std::string::npos) {
        std::string parent = folder.substr(0, parentSlash);
        folder = parent + "/" + FindEntry(parent, folder.substr(parentSlash + 1));
    }
    return folder + "/" + FindEntry(folder, path.substr(slash + 1));
}

std::string PathToRead(const std::string& user, const std::string& shipped)
{
    struct stat info {};
    return ::lstat(user.c_str(), &info) == 0 ? user : shipped;
}

namespace {

std::string TextOf(const std::string& path, bool& read)
{
    std::string text;
    int error = 0;
    read = ReadFileText(path, text, error) != 0;
    return text;
}

// A file the program folder holds that differs from what the build placed
// there was written by an earlier version: a download or a Customize edit.
void TakeOverChanged(const std::string& path, const std::string& shipped, const std::string& to)
{
    bool readHere = false, readShipped = false;
    const std::string text = TextOf(path, readHere);
    const std::string original = TextOf(shipped, readShipped);
    if (!readHere || !readShipped || text == original) return;
    MakeParentFolders(to);
    WriteFileAtomically(to.c_str(), text);
}

bool IsDescriptionName(std::string_view name)
{
    return name.size() > 4 && name.substr(name.size() - 4) == ".ini" && name[0] != '.';
}

} // namespace

void TakeOverFiles(const std::string& program, const std::string& shipped, const std::string& user)
{
    TakeOverChanged(program + "Currency/Currency.ini", shipped + "Currency/Currency.ini",
                    user + "Currency/Currency.ini");
    DIR* skins = ::opendir((program + "Skins").c_str());
    if (!skins) return;
    while (dirent* entry = ::readdir(skins)) {
        const std::string name = entry->d_name;
        if (IsDescriptionName(name))
            TakeOverChanged(program + "Skins/" + name, shipped + "Skins/" + name, user + "Customized/" + name);
    }
    ::closedir(skins);
}

void TakeOverProgramFolderFiles()
{
    const std::string mine = TallixDataFolder();
    struct stat info {};
    if (::stat(mine.c_str(), &info) == 0) return;
    MakeParentFolders(mine + "x");
    // Installed, the program folder was never written: nothing to take over.
    const std::string program = ProgramFolder();
    if (program.empty() || program != CompanionFolder()) return;
    TakeOverFiles(program, program + ShippedCopiesFolder(), mine);
}
