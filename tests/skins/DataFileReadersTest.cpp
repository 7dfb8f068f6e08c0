// Every reader of a data file, given something other than a regular file in
// its place, returns at once: a FIFO never waits for a writer, a device is
// never read without end, and a file past the cap is refused unread.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <functional>
#include <string>

#include "conversions/UnitNames.h"
#include "datafiles/IniStore.h"
#include "platform/FileText.h"
#include "skins/SkinResources.h"
#include "skins/image/ImageDecoder.h"
#include "tests/datafiles/TempFolder.h"

namespace {

TEST(DataFileReaders, OnlyRegularFilesAreReadAndNoneWaits)
{
    TempFolder folder;
    const std::string fifo = folder.File("fifo"), sub = folder.File("sub");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(::mkdir(sub.c_str(), 0700), 0);
    const std::string units = folder.Write("units.txt", "1=Metre\n2=Foot\n");

    const struct {
        const char* what;
        std::string path;
        int error;
    } places[] = {
        {"FIFO", fifo, ENODEV}, {"device", "/dev/zero", ENODEV}, {"folder", sub, EISDIR},
        {"missing", folder.File("none"), ENOENT}, {"regular", units, 0},
    };
    const struct {
        const char* reader;
        std::function<int(const std::string&)> read;
    } readers[] = {
        {"ReadFileText", [](const std::string& p) { std::string t; int e; return ReadFileText(p, t, e); }},
        {"CIniStore", [](const std::string& p) { return CIniStore().Load(p.c_str()); }},
        {"CUnitNameTable", [](const std::string& p) { return CUnitNameTable().Load(p); }},
        {"FileExists", [](const std::string& p) { return CSkinResources::FileExists(p); }},
    };
    for (const auto& place : places) {
        int error = -1;
        std::string text = "old";
        EXPECT_EQ(ReadFileText(place.path, text, error), place.error == 0) << place.what;
        EXPECT_EQ(error, place.error) << place.what;
        if (place.error) {
            EXPECT_TRUE(text.empty()) << place.what;
        }
        for (const auto& reader : readers)
            EXPECT_EQ(reader.read(place.path), place.error == 0 ? 1 : 0) << reader.reader << " on " << place.what;
        CSkinImage image;
        EXPECT_EQ(DecodeImageFile(place.path, image), 0) << place.what;
    }
}

TEST(DataFileReaders, AFileLargerThanTheCapIsRefused)
{
    TempFolder folder;
    const std::string path = folder.Write("big", std::string(4097, 'x'));
    const struct {
        size_t cap;
        int result, error;
    } rows[] = {{4096, 0, EFBIG}, {4097, 1, 0}, {1 << 20, 1, 0}};
    for (const auto& row : rows) {
        std::string text;
        int error = -1;
        EXPECT_EQ(ReadFileText(path, text, error, row.cap), row.result) << row.cap;
        EXPECT_EQ(error, row.error) << row.cap;
        EXPECT_EQ(text.size(), row.result ? 4097u : 0u) << row.cap;
    }
    EXPECT_EQ(FileErrorText(ENODEV), "not a regular file");
}

}  // namespace
