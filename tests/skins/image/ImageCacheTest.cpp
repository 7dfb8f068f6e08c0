// The on-disk cache of decoded skin images: a current entry is read, and
// anything stale, damaged or foreign is decoded again and rewritten.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "skins/image/ImageCache.h"
#include "skins/image/ImageDecoder.h"

namespace fs = std::filesystem;

namespace {

// A WBMP: the smallest format to write by hand (1 bit a pixel, rows padded to bytes).
std::string WbmpNumber(int value)
{
    std::string bytes(1, char(value & 0x7F));
    while (value >>= 7) bytes.insert(bytes.begin(), char(0x80 | (value & 0x7F)));
    return bytes;
}

void WriteWbmp(const fs::path& path, int width, int height, uint8_t pattern)
{
    std::string bytes = std::string(2, '\0') + WbmpNumber(width) + WbmpNumber(height);
    for (int y = 0; y < height; ++y)
        for (int b = 0; b < (width + 7) / 8; ++b) bytes += char(pattern ^ y);
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<uint32_t> PixelsOf(const CSkinImage& image)
{
    return image.IsEmpty() ? std::vector<uint32_t>()
                           : std::vector<uint32_t>(image.Pixels(), image.Pixels() + image.Width() * image.Height());
}

std::vector<uint32_t> Decoded(const fs::path& path)
{
    CSkinImage image;
    DecodeImageFile(path.string(), image);
    return PixelsOf(image);
}

fs::path OnlyEntry(const fs::path& folder)
{
    fs::path found;
    for (const auto& item : fs::directory_iterator(folder)) {
        EXPECT_TRUE(found.empty()) << "more than one entry";
        found = item.path();
    }
    return found;
}

class ImageCache : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() / ("tallix-image-cache-" + std::to_string(getpid()));
        fs::remove_all(root);
        fs::create_directories(root);
        cache = root / "cache" / "images";
        image = root / "face.wbmp";
        WriteWbmp(image, 12, 5, 0xA5);
        SetSkinImageCacheFolder(cache.string());
    }
    void TearDown() override
    {
        SetSkinImageCacheFolder("");
        fs::remove_all(root);
    }
    // Loads the image; its pixels must be those of a plain decode. True when
    // they came from the cache entry.
    bool LoadCached()
    {
        CSkinImage loaded;
        bool cached = false;
        EXPECT_EQ(LoadSkinImageFile(image.string(), loaded, &cached), 1);
        EXPECT_EQ(PixelsOf(loaded), Decoded(image));
        return cached;
    }
    fs::path root, cache, image;
};

TEST_F(ImageCache, ADecodedImageComesFromItsEntryAtTheNextLoadAndLaterChangesToTheEntryNeverReachIt)
{
    EXPECT_FALSE(LoadCached());
    CSkinImage cached;
    bool fromCache = false;
    ASSERT_EQ(LoadSkinImageFile(image.string(), cached, &fromCache), 1);
    ASSERT_TRUE(fromCache);
    const std::vector<uint32_t> decoded = Decoded(image);

    // Cut to nothing (a mapped entry would fault at the next read), then
    // filled with other bytes: the image in use keeps its pixels.
    const fs::path entry = OnlyEntry(cache);
    const auto length = fs::file_size(entry);
    fs::resize_file(entry, 0);
    EXPECT_EQ(PixelsOf(cached), decoded);
    fs::resize_file(entry, length);
    EXPECT_EQ(PixelsOf(cached), decoded);

    cached.Fill(0, 0, 3, 3, 0x123456);
    EXPECT_EQ(cached.GetPixel(1, 1), 0x123456u);
    EXPECT_FALSE(LoadCached());  // the damaged entry was rebuilt...
    EXPECT_TRUE(LoadCached());   // ...from the decoded pixels, not the drawn ones
}

TEST_F(ImageCache, StaleDamagedOrForeignEntriesAreDecodedAgainAndRewritten)
{
    const struct {
        const char* name;
        void (*spoil)(const fs::path& image, const fs::path& entry);
    } cases[] = {
        {"image rewritten, same size",
         [](const fs::path& image, const fs::path&) {
             const auto written = fs::last_write_time(image);
             WriteWbmp(image, 12, 5, 0x3C);
             // Clocks that tick coarsely could give the rewrite the same time.
             fs::last_write_time(image, written + std::chrono::seconds(1));
         }},
        {"image rewritten, other size", [](const fs::path& image, const fs::path&) { WriteWbmp(image, 7, 9, 0x0F); }},
        {"entry cut short", [](const fs::path&, const fs::path& entry) { fs::resize_file(entry, fs::file_size(entry) - 4); }},
        {"entry overwritten", [](const fs::path&, const fs::path& entry) { std::ofstream(entry) << "not an entry"; }},
        {"entry pixels damaged, header intact",
         [](const fs::path&, const fs::path& entry) {
             std::fstream file(entry, std::ios::in | std::ios::out | std::ios::binary);
             file.seekp(-8, std::ios::end);
             file << "noise!!!";
         }},
        {"entry of an older layout",
         [](const fs::path&, const fs::path& entry) {
             std::fstream file(entry, std::ios::in | std::ios::out | std::ios::binary);
             file.seekp(7);
             file << '1';
         }},
        // A FIFO would hang the start, a device would be read without end.
        {"entry replaced by a FIFO",
         [](const fs::path&, const fs::path& entry) {
             fs::remove(entry);
             ASSERT_EQ(mkfifo(entry.c_str(), 0600), 0);
         }},
        {"entry of another image",
         [](const fs::path& image, const fs::path& entry) {
             // Another file's entry under this name: same size and times, other path.
             const fs::path other = image.parent_path() / "other.wbmp";
             fs::copy_file(image, other);
             CSkinImage loaded;
             SetSkinImageCacheFolder((image.parent_path() / "second").string());
             LoadSkinImageFile(other.string(), loaded);
             SetSkinImageCacheFolder(entry.parent_path().string());
             fs::copy_file(OnlyEntry(image.parent_path() / "second"), entry, fs::copy_options::overwrite_existing);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(cache);
        WriteWbmp(image, 12, 5, 0xA5);
        LoadCached();
        ASSERT_TRUE(LoadCached());
        c.spoil(image, OnlyEntry(cache));
        EXPECT_FALSE(LoadCached());
        EXPECT_TRUE(LoadCached());
    }
}

TEST_F(ImageCache, AHugeImageIsDecodedEachTimeRatherThanEntered)
{
    WriteWbmp(image, 2048, 1025, 0x5A);
    EXPECT_FALSE(LoadCached());
    EXPECT_FALSE(LoadCached());
    EXPECT_FALSE(fs::exists(cache) && !fs::is_empty(cache));
}

TEST_F(ImageCache, WithoutAUsableFolderImagesAreStillDecoded)
{
    std::ofstream(root / "plain-file") << "x";
    for (const std::string& folder : {std::string(), (root / "plain-file" / "images").string()}) {
        SetSkinImageCacheFolder(folder);
        EXPECT_FALSE(LoadCached());
        EXPECT_FALSE(LoadCached());
    }
    CSkinImage missing;
    EXPECT_EQ(LoadSkinImageFile((root / "missing.png").string(), missing), 0);
    EXPECT_TRUE(missing.IsEmpty());
}

// Entries unused for 30 days go, then the longest unused ones while the rest
// take more than the bound; what this run used stays.
TEST_F(ImageCache, PruningTakesStaleAndLongestUnusedEntries)
{
    EXPECT_FALSE(LoadCached());  // this run's entry
    const fs::path used = OnlyEntry(cache);
    const auto now = fs::file_time_type::clock::now();
    const struct {
        const char* name;
        int kilobytes;
        int daysUnused;
        bool kept;
    } rows[] = {
        {"a.px", 40, 31, false},   // stale, though small
        {"b.px", 40, 20, false},   // the longest unused over the bound
        {"c.px", 40, 10, true},
        {"d.px", 40, 1, true},
        {"e.tmp", 4, 40, false},   // a writer's left-over
        {"notes.txt", 4, 40, true} // not the cache's
    };
    for (const auto& row : rows) {
        std::ofstream(cache / row.name, std::ios::binary) << std::string(row.kilobytes * 1024, 'x');
        fs::last_write_time(cache / row.name, now - std::chrono::hours(24 * row.daysUnused));
    }
    fs::last_write_time(used, now - std::chrono::hours(24 * 60));
    PruneSkinImageCache(100 * 1024);
    for (const auto& row : rows) EXPECT_EQ(fs::exists(cache / row.name), row.kept) << row.name;
    EXPECT_TRUE(fs::exists(used));
    // A later run has used nothing yet: the same bound takes the old entry too.
    SetSkinImageCacheFolder(cache.string());
    EXPECT_FALSE(fs::exists(used));
}

// Our two skins at both scales fit the bound whole: none of their entries is
// pruned, so every image comes from the cache the next time.
TEST_F(ImageCache, BothShippedSkinsAtBothScalesStayUnderTheBound)
{
    const char* source = std::getenv("TALLIX_SOURCE_DIR");
    if (!source) GTEST_SKIP() << "TALLIX_SOURCE_DIR not set";
    std::vector<fs::path> images;
    for (const char* skin : {"default", "dark"})
        for (const auto& item : fs::directory_iterator(fs::path(source) / "resources/Skins" / skin))
            if (item.path().extension() == ".png") images.push_back(item.path());
    ASSERT_GT(images.size(), 40u);
    for (const fs::path& path : images) {
        CSkinImage loaded;
        ASSERT_EQ(LoadSkinImageFile(path.string(), loaded), 1) << path;
    }
    uintmax_t total = 0;
    for (const auto& item : fs::directory_iterator(cache)) total += fs::file_size(item.path());
    EXPECT_LT(total, kSkinImageCacheBytes);
    SetSkinImageCacheFolder(cache.string());
    for (const fs::path& path : images) {
        CSkinImage loaded;
        bool cached = false;
        LoadSkinImageFile(path.string(), loaded, &cached);
        EXPECT_TRUE(cached) << path;
    }
}

}  // namespace
