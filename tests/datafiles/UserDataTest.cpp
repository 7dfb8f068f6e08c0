#include <gtest/gtest.h>

#include <filesystem>

#include "datafiles/UserData.h"
#include "tests/datafiles/TempFolder.h"

namespace {

namespace fs = std::filesystem;

// What an earlier version left beside the program is taken over when it
// differs from what the build placed there, whatever the files' times.
TEST(TakeOverFiles, OnlyFilesThatDifferFromTheShippedOnes)
{
    TempFolder dir;
    for (const char* folder : {"bin/Skins", "bin/Currency", "shipped/Skins", "shipped/Currency"})
        fs::create_directories(dir.File(folder));
    const struct {
        const char* file;
        const char* shipped;  // nullptr: none shipped
        const char* here;
        const char* takenTo;  // nullptr: not taken over
    } rows[] = {
        {"Skins/default.ini", "[Init]\r\nA=1\r\n", "[Init]\r\nA=1\r\n", nullptr},
        {"Skins/dark.ini", "[Init]\r\nA=1\r\n", "[Init]\r\nA=2\r\n", "user/Customized/dark.ini"},
        {"Skins/mine.ini", nullptr, "[Init]\r\nA=3\r\n", nullptr},
        {"Currency/Currency.ini", "[Conversions]\r\nEUR=1.1\r\n", "[Conversions]\r\nEUR=1.2\r\n",
         "user/Currency/Currency.ini"},
    };
    for (const auto& row : rows) {
        if (row.shipped) dir.Write(std::string("shipped/") + row.file, row.shipped);
        // Written after the shipped copy, as a rebuild that copies skins again does.
        dir.Write(std::string("bin/") + row.file, row.here);
    }
    TakeOverFiles(dir.File("bin/"), dir.File("shipped/"), dir.File("user/"));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        if (row.takenTo) {
            EXPECT_EQ(TempFolder::Read(dir.File(row.takenTo)), row.here);
        }
    }
    EXPECT_FALSE(fs::exists(dir.File("user/Customized/default.ini")));
    EXPECT_FALSE(fs::exists(dir.File("user/Customized/mine.ini")));
}

} // namespace
