#include "datafiles/UserData.h"

#include "platform/AsciiCase.h"
#include "platform/AtomicFile.h"
#include "platform/FileText.h"
#include "platform/UserFolders.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
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

bool WrittenAfter(const std::string& path, const struct timespec& built)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    const struct timespec& at = info.st_mtim;
    return at.tv_sec > built.tv_sec || (at.tv_sec == built.tv_sec && at.tv_nsec > built.tv_nsec);
}

void CopyFile(const std::string& from, const std::string& to)
{
    std::string text;
    int error = 0;
    if (!ReadFileText(from, text, error)) return;
    MakeParentFolders(to);
    WriteFileAtomically(to.c_str(), text);
}

bool IsDescriptionName(std::string_view name)
{
    return name.size() > 4 && name.substr(name.size() - 4) == ".ini" && name[0] != '.';
}

} // namespace

void TakeOverProgramFolderFiles()
{
    const std::string mine = TallixDataFolder();
    struct stat info {};
    if (::stat(mine.c_str(), &info) == 0) return;
    MakeParentFolders(mine + "x");
    // Installed, the program folder was never written: nothing to take over.
    const std::string program = ProgramFolder();
    if (program.empty() || program != CompanionFolder()) return;
    char self[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return;
    self[n] = '\0';
    struct stat executable {};
    if (::stat(self, &executable) != 0) return;
    const struct timespec built = executable.st_mtim;

    if (WrittenAfter(ShippedRatesPath(), built)) CopyFile(ShippedRatesPath(), UserRatesPath());
    DIR* skins = ::opendir((program + "Skins").c_str());
    if (!skins) return;
    while (dirent* entry = ::readdir(skins)) {
        const std::string name = entry->d_name;
        const std::string path = program + "Skins/" + name;
        if (IsDescriptionName(name) && WrittenAfter(path, built)) CopyFile(path, EditedSkinsFolder() + name);
    }
    ::closedir(skins);
}
