// Public INI files of other parsers: our rules differ from theirs, so these
// prove that no input breaks the store or its capacities, plus what our rules
// say about a few of them.
#include "datafiles/IniStore.h"
#include "tests/datafiles/TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

namespace {

std::string CorpusFolder()
{
    const char* root = std::getenv("TALLIX_TESTDATA");
    if (!root) return std::string();
    std::string folder = std::string(root) + "/ini";
    return std::filesystem::is_directory(folder) ? folder : std::string();
}

struct SavedShape {
    int sections = 0;
    int maxPairs = 0;
    size_t maxKey = 0;
    size_t maxValue = 0;
    size_t maxName = 0;
};

// Reads the shape of a saved text: sections, pairs and their lengths.
SavedShape ShapeOf(const std::string& saved)
{
    SavedShape shape;
    int pairs = 0;
    size_t pos = 0;
    while (pos < saved.size()) {
        size_t end = saved.find("\r\n", pos);
        if (end == std::string::npos) end = saved.size();
        std::string line = saved.substr(pos, end - pos);
        pos = end + 2;
        if (line.empty()) continue;
        if (line.front() == '[' && line.back() == ']' && line.find('=') == std::string::npos) {
            ++shape.sections;
            pairs = 0;
            shape.maxName = std::max(shape.maxName, line.size() - 2);
            continue;
        }
        size_t equals = line.find('=');
        shape.maxPairs = std::max(shape.maxPairs, ++pairs);
        shape.maxKey = std::max(shape.maxKey, equals);
        shape.maxValue = std::max(shape.maxValue, line.size() - equals - 1);
    }
    return shape;
}

TEST(IniCorpusTest, EveryFileLoadsWithinCapacitiesAndSavesStably)
{
    std::string folder = CorpusFolder();
    if (folder.empty()) GTEST_SKIP() << "no INI corpus: TALLIX_TESTDATA/ini is absent";
    TempFolder temp;
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        ++files;
        // Each file as it is and with CRLF line ends, where blank lines can end the parse.
        std::string lf = TempFolder::Read(entry.path().string()), crlf;
        for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        for (const std::string& variant : {lf, crlf}) {
            SCOPED_TRACE(entry.path().string() + (&variant == &lf ? "" : " (CRLF)"));
            CIniStore store;
            ASSERT_EQ(1, store.Load(temp.Write("input.ini", variant).c_str()));
            std::string first = temp.File("first.ini"), second = temp.File("second.ini");
            ASSERT_EQ(1, store.Save(first.c_str()));
            std::string saved = TempFolder::Read(first);
            SavedShape shape = ShapeOf(saved);
            EXPECT_LE(shape.sections, 125);
            EXPECT_LE(shape.maxPairs, 82);
            EXPECT_LE(shape.maxKey, 39u);
            EXPECT_LE(shape.maxValue, 255u);
            EXPECT_LE(shape.maxName, 255u);
            CIniStore again;
            ASSERT_EQ(1, again.Load(first.c_str()));
            ASSERT_EQ(1, again.Save(second.c_str()));
            EXPECT_EQ(saved, TempFolder::Read(second));
        }
    }
    EXPECT_GE(files, 60);
}

struct CorpusCase {
    const char* file;
    const char* section;
    const char* key;
    int found;
    const char* value;
};

TEST(IniCorpusTest, OurRulesOnChosenFiles)
{
    std::string folder = CorpusFolder();
    if (folder.empty()) GTEST_SKIP() << "no INI corpus: TALLIX_TESTDATA/ini is absent";
    const CorpusCase cases[] = {
        // The first of two equal sections answers.
        {"inih/duplicate_sections.ini", "SECTION1", "single1", 1, "abc"},
        // A byte-order mark is part of the first line, so that header is no header.
        {"inih/bom.ini", "bom_section", "bom_name", 0, "-"},
        // CRLF file: single empty lines between sections do not end the parse.
        {"inih/no_value.ini", "section1", "key1", 1, "val1"},
        {"iniparser/good_ini/empty.ini", "any", "key", 0, "-"},
    };
    for (const CorpusCase& c : cases) {
        SCOPED_TRACE(c.file);
        CIniStore store;
        ASSERT_EQ(1, store.Load((folder + "/" + c.file).c_str()));
        std::string out;
        EXPECT_EQ(c.found, store.GetString(out, c.section, c.key, "-"));
        EXPECT_EQ(c.value, out);
    }
}

} // namespace
