#include "skins/image/ImageCache.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/AtomicFile.h"
#include "skins/image/ImageDecoder.h"

namespace {

std::mutex g_lock;
std::string g_folder;

// Bumped whenever a decoder may give other pixels for the same file.
constexpr char kMagic[8] = {'T', 'X', 'P', 'X', '0', '0', '0', '1'};
constexpr uint32_t kMaxPathBytes = 4096;
// Skin images are strips of a few hundred kilobytes; a huge one is decoded
// each time rather than copied into the cache.
constexpr int64_t kMaxEntryPixels = 2 * 1024 * 1024;

struct EntryHeader {
    char magic[8];
    uint64_t size;
    int64_t mtimeSeconds;
    int64_t mtimeNanos;
    // The change time too: a tool that writes in place and puts the old
    // modification time back still changes it.
    int64_t ctimeSeconds;
    int64_t ctimeNanos;
    uint64_t inode;
    uint64_t device;
    int32_t width;
    int32_t height;
    uint32_t pathBytes;
    uint32_t pixelOffset;
};

bool SameSource(const EntryHeader& header, const struct stat& source)
{
    return header.size == uint64_t(source.st_size) && header.mtimeSeconds == source.st_mtim.tv_sec &&
           header.mtimeNanos == source.st_mtim.tv_nsec && header.ctimeSeconds == source.st_ctim.tv_sec &&
           header.ctimeNanos == source.st_ctim.tv_nsec && header.inode == uint64_t(source.st_ino) &&
           header.device == uint64_t(source.st_dev);
}

size_t PixelOffset(size_t pathBytes) { return (sizeof(EntryHeader) + pathBytes + 63) / 64 * 64; }

std::string EntryPath(const std::string& folder, const std::string& path)
{
    uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (unsigned char c : path) hash = (hash ^ c) * 1099511628211ull;
    char name[32];
    std::snprintf(name, sizeof name, "/%016llx.px", static_cast<unsigned long long>(hash));
    return folder + name;
}

bool ReadAll(int fd, void* data, size_t size, off_t offset)
{
    return pread(fd, data, size, offset) == ssize_t(size);
}

int MapEntry(const std::string& entry, const std::string& path, const struct stat& source, CSkinImage& out)
{
    const int fd = open(entry.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    int mapped = 0;
    struct stat info {};
    EntryHeader header {};
    std::string stored(path.size(), '\0');
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ReadAll(fd, &header, sizeof header, 0) &&
        std::memcmp(header.magic, kMagic, sizeof kMagic) == 0 && SameSource(header, source) &&
        header.pathBytes == path.size() && header.pixelOffset == PixelOffset(path.size()) &&
        CSkinImage::SizeAllowed(header.width, header.height) &&
        uint64_t(info.st_size) == header.pixelOffset + uint64_t(header.width) * uint64_t(header.height) * 4 &&
        ReadAll(fd, stored.data(), stored.size(), sizeof header) && stored == path) {
        const size_t length = size_t(info.st_size);
        // Private and writable: a page someone draws into is copied, never written back.
        void* base = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE, fd, 0);
        if (base != MAP_FAILED) {
            mapped = out.AdoptMapping(base, length, header.pixelOffset, header.width, header.height);
            if (!mapped) munmap(base, length);
        }
    }
    close(fd);
    return mapped;
}

void MakeFolders(const std::string& folder)
{
    for (size_t slash = folder.find('/', 1); ; slash = folder.find('/', slash + 1)) {
        mkdir(folder.substr(0, slash).c_str(), 0700);
        if (slash == std::string::npos) break;
    }
}

void WriteEntry(const std::string& folder, const std::string& entry, const std::string& path,
                const struct stat& source, const CSkinImage& image)
{
    EntryHeader header {};
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.size = uint64_t(source.st_size);
    header.mtimeSeconds = source.st_mtim.tv_sec;
    header.mtimeNanos = source.st_mtim.tv_nsec;
    header.ctimeSeconds = source.st_ctim.tv_sec;
    header.ctimeNanos = source.st_ctim.tv_nsec;
    header.inode = uint64_t(source.st_ino);
    header.device = uint64_t(source.st_dev);
    header.width = image.Width();
    header.height = image.Height();
    header.pathBytes = uint32_t(path.size());
    header.pixelOffset = uint32_t(PixelOffset(path.size()));
    std::vector<char> head(header.pixelOffset, '\0');
    std::memcpy(head.data(), &header, sizeof header);
    std::memcpy(head.data() + sizeof header, path.data(), path.size());

    MakeFolders(folder);
    const std::string temporary = entry + "." + std::to_string(getpid()) + ".tmp";
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return;
    const bool written =
        WriteAll(fd, std::string_view(head.data(), head.size())) &&
        WriteAll(fd, std::string_view(reinterpret_cast<const char*>(image.Pixels()),
                                      size_t(image.Width()) * size_t(image.Height()) * sizeof(uint32_t)));
    if (close(fd) != 0 || !written || rename(temporary.c_str(), entry.c_str()) != 0) unlink(temporary.c_str());
}

}  // namespace

void SetSkinImageCacheFolder(const std::string& folder)
{
    std::lock_guard<std::mutex> lock(g_lock);
    g_folder = folder;
    while (g_folder.size() > 1 && g_folder.back() == '/') g_folder.pop_back();
}

int LoadSkinImageFile(const std::string& path, CSkinImage& out)
{
    std::string folder;
    {
        std::lock_guard<std::mutex> lock(g_lock);
        folder = g_folder;
    }
    struct stat before {};
    if (folder.empty() || path.empty() || path.size() > kMaxPathBytes || stat(path.c_str(), &before) != 0 ||
        !S_ISREG(before.st_mode))
        return DecodeImageFile(path, out);
    const std::string entry = EntryPath(folder, path);
    if (MapEntry(entry, path, before, out)) return 1;
    if (!DecodeImageFile(path, out)) return 0;
    if (int64_t(out.Width()) * out.Height() > kMaxEntryPixels) return 1;
    // A file replaced while it was read is entered at the next start.
    struct stat after {};
    if (stat(path.c_str(), &after) == 0 && before.st_mtim.tv_sec == after.st_mtim.tv_sec &&
        before.st_mtim.tv_nsec == after.st_mtim.tv_nsec && before.st_ctim.tv_sec == after.st_ctim.tv_sec &&
        before.st_ctim.tv_nsec == after.st_ctim.tv_nsec && before.st_size == after.st_size &&
        before.st_ino == after.st_ino)
        WriteEntry(folder, entry, path, before, out);
    return 1;
}
