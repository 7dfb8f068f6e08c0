#include "skins/image/ImageCache.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>
#include <set>
#include <vector>

#include <zlib.h>

#include "platform/AtomicFile.h"
#include "platform/FileText.h"
#include "skins/image/ImageDecoder.h"

namespace {

std::mutex g_lock;
std::string g_folder;
// Entries this process read or wrote: never pruned under it.
std::set<std::string> g_used;

// Bumped whenever a decoder may give other pixels for the same file, or the
// entry's layout changes (0002: the checksum; 0003: the pixels deflated), so
// older entries are rebuilt.
constexpr char kMagic[8] = {'T', 'X', 'P', 'X', '0', '0', '0', '3'};
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
    // CRC-32 of the header (this field 0), the path and the pixels: an entry
    // damaged on disk is decoded again rather than shown as noise.
    uint32_t checksum;
    // The deflated pixels that follow at pixelOffset: skin art is mostly
    // flat colour, and raw pixels of two skins at two scales took 26 MB.
    uint32_t packedBytes;
};

uint32_t Checksum(EntryHeader header, const std::string& path, const CSkinImage& image)
{
    header.checksum = 0;
    uLong crc = crc32_z(0, reinterpret_cast<const Bytef*>(&header), sizeof header);
    crc = crc32_z(crc, reinterpret_cast<const Bytef*>(path.data()), path.size());
    return uint32_t(crc32_z(crc, reinterpret_cast<const Bytef*>(image.Pixels()),
                            size_t(image.Width()) * size_t(image.Height()) * sizeof(uint32_t)));
}

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
    for (size_t got = 0; got < size;) {
        const ssize_t n = pread(fd, static_cast<char*>(data) + got, size - got, offset + off_t(got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        got += size_t(n);
    }
    return true;
}

size_t PixelBytes(const CSkinImage& image) { return size_t(image.Width()) * size_t(image.Height()) * sizeof(uint32_t); }

bool Inflate(const std::string& packed, CSkinImage& out)
{
    uLongf size = uLongf(PixelBytes(out));
    return uncompress(reinterpret_cast<Bytef*>(out.Pixels()), &size, reinterpret_cast<const Bytef*>(packed.data()),
                      uLong(packed.size())) == Z_OK &&
           size == PixelBytes(out);
}

// The pixels are copied out, never mapped: whatever later happens to the
// entry (cut short, rewritten in place) cannot reach an image in use.
int ReadEntry(const std::string& entry, const std::string& path, const struct stat& source, CSkinImage& out)
{
    int error = 0;
    struct stat info {};
    const int fd = OpenDataFile(entry, error, &info);
    if (fd < 0) return 0;
    EntryHeader header {};
    std::string stored(path.size(), '\0');
    std::string packed;
    int read = ReadAll(fd, &header, sizeof header, 0) && std::memcmp(header.magic, kMagic, sizeof kMagic) == 0 &&
               SameSource(header, source) && header.pathBytes == path.size() &&
               header.pixelOffset == PixelOffset(path.size()) && CSkinImage::SizeAllowed(header.width, header.height) &&
               uint64_t(info.st_size) == header.pixelOffset + uint64_t(header.packedBytes) &&
               ReadAll(fd, stored.data(), stored.size(), sizeof header) && stored == path &&
               out.Create(header.width, header.height);
    if (read) {
        packed.resize(header.packedBytes);
        read = ReadAll(fd, packed.data(), packed.size(), header.pixelOffset) && Inflate(packed, out) &&
               Checksum(header, path, out) == header.checksum;
    }
    close(fd);
    if (!read) out.Destroy();
    return read;
}

void MakeFolders(const std::string& folder)
{
    for (size_t slash = folder.find('/', 1); ; slash = folder.find('/', slash + 1)) {
        mkdir(folder.substr(0, slash).c_str(), 0700);
        if (slash == std::string::npos) break;
    }
}

bool WriteEntry(const std::string& folder, const std::string& entry, const std::string& path,
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
    std::string packed(compressBound(uLong(PixelBytes(image))), '\0');
    uLongf packedSize = uLongf(packed.size());
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
                  reinterpret_cast<const Bytef*>(image.Pixels()), uLong(PixelBytes(image)), Z_BEST_SPEED) != Z_OK)
        return false;
    packed.resize(packedSize);
    header.packedBytes = uint32_t(packedSize);
    header.checksum = Checksum(header, path, image);
    std::vector<char> head(header.pixelOffset, '\0');
    std::memcpy(head.data(), &header, sizeof header);
    std::memcpy(head.data() + sizeof header, path.data(), path.size());

    MakeFolders(folder);
    const std::string temporary = entry + "." + std::to_string(getpid()) + ".tmp";
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return false;
    const bool written =
        WriteAll(fd, std::string_view(head.data(), head.size())) &&
        WriteAll(fd, packed);
    if (close(fd) == 0 && written && rename(temporary.c_str(), entry.c_str()) == 0) return true;
    unlink(temporary.c_str());
    return false;
}

bool IsCacheFile(const std::string& name)
{
    auto endsWith = [&](const char* end) {
        const size_t n = std::strlen(end);
        return name.size() > n && name.compare(name.size() - n, n, end) == 0;
    };
    return endsWith(".px") || endsWith(".tmp");
}

struct CacheFile {
    std::string path;
    uint64_t bytes;
    int64_t usedAt;
};

std::vector<CacheFile> CacheFiles(const std::string& folder)
{
    std::vector<CacheFile> files;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return files;
    while (const dirent* item = readdir(dir)) {
        const std::string path = folder + "/" + item->d_name;
        struct stat info {};
        if (IsCacheFile(item->d_name) && lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode))
            files.push_back(CacheFile{path, uint64_t(info.st_blocks) * 512, int64_t(info.st_mtim.tv_sec)});
    }
    closedir(dir);
    return files;
}

// An entry's time is when it was last used, so that pruning takes the
// entries of skins and scales no longer in use.
void MarkUsed(const std::string& entry)
{
    utimensat(AT_FDCWD, entry.c_str(), nullptr, 0);
    std::lock_guard<std::mutex> lock(g_lock);
    g_used.insert(entry);
}

void PruneFolder(const std::string& folder, uint64_t maxBytes, const std::set<std::string>& used)
{
    std::vector<CacheFile> files = CacheFiles(folder);
    std::sort(files.begin(), files.end(), [](const CacheFile& a, const CacheFile& b) { return a.usedAt < b.usedAt; });
    uint64_t total = 0;
    for (const CacheFile& file : files) total += file.bytes;
    const int64_t staleBefore = int64_t(time(nullptr)) - kSkinImageCacheDays * 24 * 3600;
    for (const CacheFile& file : files) {
        if (used.count(file.path) || (file.usedAt >= staleBefore && total <= maxBytes)) continue;
        if (unlink(file.path.c_str()) == 0) total -= file.bytes;
    }
}

}  // namespace

void SetSkinImageCacheFolder(const std::string& folder)
{
    {
        std::lock_guard<std::mutex> lock(g_lock);
        g_folder = folder;
        while (g_folder.size() > 1 && g_folder.back() == '/') g_folder.pop_back();
        g_used.clear();
    }
    PruneSkinImageCache();
}

void PruneSkinImageCache(uint64_t maxBytes)
{
    std::string folder;
    std::set<std::string> used;
    {
        std::lock_guard<std::mutex> lock(g_lock);
        folder = g_folder;
        used = g_used;
    }
    if (!folder.empty()) PruneFolder(folder, maxBytes, used);
}

int LoadSkinImageFile(const std::string& path, CSkinImage& out, bool* fromCache)
{
    if (fromCache) *fromCache = false;
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
    if (ReadEntry(entry, path, before, out)) {
        MarkUsed(entry);
        if (fromCache) *fromCache = true;
        return 1;
    }
    if (!DecodeImageFile(path, out)) return 0;
    if (int64_t(out.Width()) * out.Height() > kMaxEntryPixels) return 1;
    // A file replaced while it was read is entered at the next start.
    struct stat after {};
    if (stat(path.c_str(), &after) == 0 && before.st_mtim.tv_sec == after.st_mtim.tv_sec &&
        before.st_mtim.tv_nsec == after.st_mtim.tv_nsec && before.st_ctim.tv_sec == after.st_ctim.tv_sec &&
        before.st_ctim.tv_nsec == after.st_ctim.tv_nsec && before.st_size == after.st_size &&
        before.st_ino == after.st_ino && WriteEntry(folder, entry, path, before, out)) {
        MarkUsed(entry);
        PruneSkinImageCache();
    }
    return 1;
}

void RemoveSkinImageCache(const std::string& folder)
{
    for (const CacheFile& file : CacheFiles(folder)) unlink(file.path.c_str());
    rmdir(folder.c_str());
}
