// Every public test image through DecodeImageFile: good images decode (and
// match their reference renderings where the corpus has one), bad ones are
// refused, questionable ones may go either way, and no truncated prefix of
// any image brings a decoder down.
#include <gtest/gtest.h>

#include <algorithm>
#include <fnmatch.h>
#include <functional>
#include <map>
#include <set>
#include <sstream>

#include "ImageTestSupport.h"
#include "skins/image/ImageDecoder.h"
#include "skins/image/ImageFormats.h"

namespace fs = std::filesystem;
using namespace imagetest;

namespace {

enum class EExpect { Decode, Either, Refuse };

// Where a file's reference rendering lives, relative to the corpus ("" = none).
using RefRule = std::function<std::string(const std::string& dir, const std::string& stem, const std::string& name)>;

struct Rule {
    const char* pattern;  // fnmatch pattern on the path inside the corpus
    EExpect expect;
    RefRule reference;
    int tolerance;  // per-channel difference allowed against the reference
};

std::string None(const std::string&, const std::string&, const std::string&) { return ""; }
std::string StemPng(const std::string& dir, const std::string& stem, const std::string&) { return dir + "/" + stem + ".png"; }

RefRule In(const std::string& folder, const std::string& suffix)
{
    return [=](const std::string&, const std::string&, const std::string& name) { return folder + "/" + name + suffix; };
}

// pillow/tga/common/200x32_rgb_bl_rle.tga is rendered by 200x32_rgb.png.
std::string PillowTgaRef(const std::string& dir, const std::string& stem, const std::string&)
{
    const size_t cut = stem.rfind('_', stem.rfind('_') - 1);
    return dir + "/" + stem.substr(0, cut) + ".png";
}

const Rule kRules[] = {
    {"gif-test-suite/*", EExpect::Either, None, 0},  // checked against its .conf files below
    {"openjpeg-nonregression/*", EExpect::Either, None, 0},  // checked against EXPECTATIONS.tsv below
    {"pngsuite/png/x*", EExpect::Refuse, None, 0},
    {"pngsuite/png/*", EExpect::Decode, None, 0},
    {"pngsuite/bmp-converted/*", EExpect::Decode, None, 0},
    {"libpng-testpngs/crashers/badcrc.png", EExpect::Either, None, 0},
    {"libpng-testpngs/crashers/*", EExpect::Refuse, None, 0},
    {"libpng-testpngs/*", EExpect::Either, None, 0},
    {"bmpsuite/g/*", EExpect::Decode, [](auto&, auto& stem, auto&) { return "bmpsuite/html/" + stem + ".png"; }, 0},
    {"bmpsuite/html/*", EExpect::Decode, None, 0},
    // JPEG and PNG wrapped in a BMP header, OS/2 RLE24: rare but ours to read.
    {"bmpsuite/q/rgb24jpeg.bmp", EExpect::Decode, None, 0},
    {"bmpsuite/q/rgb24png.bmp", EExpect::Decode, [](auto&, auto&, auto&) { return "bmpsuite/html/rgb24.png"; }, 0},
    {"bmpsuite/q/rgb24rle24.bmp", EExpect::Decode, None, 0},
    {"bmpsuite/*", EExpect::Either, None, 0},
    // Alpha marked "undefined, retain" and all zero: shown opaque, not blank.
    {"image-rs/tga/testsuite/utc32.tga", EExpect::Decode, None, 0},
    {"image-rs/tga/testsuite/*", EExpect::Decode, In("image-rs/tga/reference", ".png"), 0},
    {"image-rs/ico/images/truncated_mask*", EExpect::Either, None, 0},
    {"image-rs/ico/images/*", EExpect::Decode, In("image-rs/ico/reference", ".png"), 0},
    {"image-rs/gif/simple/*", EExpect::Decode, In("image-rs/gif/reference", ".png"), 0},
    {"image-rs/bad/*", EExpect::Refuse, None, 0},
    {"image-rs/*/reference/*", EExpect::Decode, None, 0},
    {"image-rs/*", EExpect::Either, None, 0},
    {"kimageformats/pcx/*", EExpect::Decode, StemPng, 0},
    // Five-bit channels widened by bit replication there, by rounding here.
    {"kimageformats/tga/rgb16.tga", EExpect::Decode, StemPng, 1},
    {"kimageformats/tga/*", EExpect::Decode, StemPng, 0},
    {"pillow/tga/common/*.tga", EExpect::Decode, PillowTgaRef, 0},
    {"pillow/*/hopper.*", EExpect::Decode, None, 0},
    {"pillow/wmf/drawing.wmf", EExpect::Decode, None, 0},
    {"pillow/*", EExpect::Either, None, 0},
    {"qtimageformats/tiff/corrupt-data.tif", EExpect::Either, None, 0},
    {"qtimageformats/*", EExpect::Decode, None, 0},
    {"libjpeg-turbo/testorig.jpg", EExpect::Decode, None, 0},
    {"libjpeg-turbo/testimgint.jpg", EExpect::Decode, None, 0},
    {"libjpeg-turbo/*", EExpect::Either, None, 0},
    {"openjpeg-conformance/*", EExpect::Decode, None, 0},
};

const std::set<std::string> kImageExtensions = {".png", ".bmp", ".gif", ".tga", ".tif", ".tiff", ".jp2", ".j2k",
                                                ".j2c", ".jph", ".jhc", ".ico", ".cur", ".pcx", ".jpg", ".jpeg",
                                                ".wbmp", ".wmf", ".bin"};

std::vector<std::string> ImageFiles(const fs::path& root)
{
    std::vector<std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        if (!e.is_regular_file()) continue;
        std::string ext = e.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
        if (kImageExtensions.count(ext)) files.push_back(fs::relative(e.path(), root).string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

const Rule* FindRule(const std::string& rel)
{
    for (const Rule& r : kRules)
        if (fnmatch(r.pattern, rel.c_str(), 0) == 0) return &r;
    return nullptr;
}

#define REQUIRE_CORPUS(root)                                                                         \
    const fs::path root = CorpusDir();                                                               \
    if (root.empty()) GTEST_SKIP() << "no image corpus at $TALLIX_TESTDATA/images on this machine"

TEST(ImageSuite, EveryFileMeetsItsExpectation)
{
    REQUIRE_CORPUS(root);
    const auto files = ImageFiles(root);
    ASSERT_GT(files.size(), 900u) << "the corpus looks incomplete";
    int compared = 0;
    for (const std::string& rel : files) {
        const Rule* rule = FindRule(rel);
        ASSERT_NE(rule, nullptr) << "no expectation for " << rel;
        CSkinImage image;
        const int ok = DecodeImageFile((root / rel).string(), image);
        EXPECT_EQ(ok, image.IsEmpty() ? 0 : 1) << rel;
        if (rule->expect == EExpect::Decode) {
            EXPECT_EQ(ok, 1) << rel << " should decode";
        }
        if (rule->expect == EExpect::Refuse) {
            EXPECT_EQ(ok, 0) << rel << " should be refused";
        }
        const fs::path p(rel);
        const std::string ref = rule->reference(p.parent_path().string(), p.stem().string(), p.filename().string());
        if (!ok || ref.empty() || !fs::exists(root / ref)) continue;
        CSkinImage expected;
        ASSERT_EQ(DecodeImageFile((root / ref).string(), expected), 1) << ref;
        const Difference d = Compare(image, expected, rule->tolerance);
        EXPECT_TRUE(d.sameSize) << rel << ": " << image.Width() << "x" << image.Height() << " vs reference "
                                << expected.Width() << "x" << expected.Height();
        EXPECT_EQ(d.pixels, 0) << rel << " differs from " << ref << " (largest channel difference " << d.maxDelta << ")";
        ++compared;
    }
    EXPECT_GT(compared, 100);
}

// key = value lines of one section of a GIF suite description.
std::map<std::string, std::string> ConfSection(const fs::path& conf, const std::string& section)
{
    std::map<std::string, std::string> values;
    const auto bytes = ReadBytes(conf);
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    std::string line, current;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            current = line.substr(1, line.find(']') - 1);
            continue;
        }
        const size_t eq = line.find(" = ");
        if (current == section && eq != std::string::npos) values[line.substr(0, eq)] = line.substr(eq + 3);
        else if (current == section && line.back() == '=') values[line.substr(0, line.find(" ="))] = "";
    }
    return values;
}

// Where giflib (which we use as it is) reads a file differently from the
// suite's own decoder.
const std::set<std::string> kGiflibDeviations = {
    "max-codes",           // giflib stops at a code once the table is full; rows after it stay black
    "overflow-codes",      // giflib accepts codes the suite rejects
    "overflow-codes-max",  // likewise
    "plain-text",          // the image after a plain-text block is shown
};

TEST(ImageSuite, GifSuiteFirstFramesMatchTheirDescriptions)
{
    REQUIRE_CORPUS(root);
    const fs::path dir = root / "gif-test-suite";
    int checked = 0;
    for (const auto& e : fs::directory_iterator(dir)) {
        if (e.path().extension() != ".conf") continue;
        auto config = ConfSection(e.path(), "config");
        const std::string name = e.path().stem().string();
        if (kGiflibDeviations.count(name)) continue;
        CSkinImage image;
        const int ok = DecodeImageFile((dir / config["input"]).string(), image);
        const int w = std::stoi(config["width"]), h = std::stoi(config["height"]);
        const std::string first = config["frames"].substr(0, config["frames"].find(','));
        ++checked;
        if (first.empty() || !CSkinImage::SizeAllowed(w, h)) {
            // No frame to show, or larger than any skin image may be.
            EXPECT_EQ(ok, 0) << name;
            continue;
        }
        EXPECT_EQ(ok, 1) << name;
        if (!ok) continue;
        EXPECT_EQ(image.Width(), w) << name;
        EXPECT_EQ(image.Height(), h) << name;
        auto frame = ConfSection(e.path(), first);
        CSkinImage expected;
        if (frame.count("pixels")) {
            const auto rgba = ReadBytes(dir / frame["pixels"]);
            ASSERT_EQ(rgba.size(), size_t(w) * h * 4) << name;
            ASSERT_EQ(expected.Create(w, h), 1);
            for (int i = 0; i < w * h; ++i) {
                const uint8_t* p = &rgba[size_t(i) * 4];
                const uint32_t a = p[3];
                expected.SetPixel(i % w, i / w, ((p[0] * a + 127) / 255) << 16 | ((p[1] * a + 127) / 255) << 8 | ((p[2] * a + 127) / 255));
            }
        } else {
            ASSERT_EQ(DecodeImageFile((dir / frame["image"]).string(), expected), 1) << name;
        }
        // A "forced" animation has no frame boundaries; we show its images
        // drawn together, so only its size is compared.
        if (config["force-animation"] == "yes") continue;
        const Difference d = Compare(image, expected, 0);
        EXPECT_EQ(d.pixels, 0) << name << " first frame differs (largest channel difference " << d.maxDelta << ")";
    }
    EXPECT_GT(checked, 75);
}

// Where our outcome differs from OpenJPEG's command-line tool, and why.
const std::set<std::string> kOpenJpegDeviations = {
    "huge-tile-size.jp2",  // larger than any skin image may be
    "issue726.j2k",        // 12,416 rows: larger than any skin image may be
    // The library decodes it cleanly; only the tool's output stage refuses.
    "4241ac039aba57e6a9c948d519d94216_asan_heap-oob_14650f2_7469_602.jp2",
};

TEST(ImageSuite, JpegTwoThousandFilesMeetOpenJpegsExpectations)
{
    REQUIRE_CORPUS(root);
    const fs::path dir = root / "openjpeg-nonregression";
    const auto tsv = ReadBytes(dir / "EXPECTATIONS.tsv");
    std::istringstream in(std::string(tsv.begin(), tsv.end()));
    std::string line;
    int checked = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string file, expect;
        std::getline(fields, file, '\t');
        std::getline(fields, expect, '\t');
        CSkinImage image;
        const int ok = DecodeImageFile((dir / file).string(), image);
        if (kOpenJpegDeviations.count(file)) continue;
        EXPECT_EQ(ok, expect == "decode" ? 1 : 0) << file << " should " << expect;
        ++checked;
    }
    EXPECT_GT(checked, 40);
}

// Prefix lengths to try: all of them for small files; for larger ones every
// length through the headers, then an even spread, then the last bytes.
std::vector<size_t> PrefixLengths(size_t size)
{
    std::vector<size_t> lengths;
    if (size <= 1024) {
        for (size_t n = 0; n < size; ++n) lengths.push_back(n);
        return lengths;
    }
    for (size_t n = 0; n < 256; ++n) lengths.push_back(n);
    const size_t step = std::max<size_t>(1, (size - 256) / 400);
    for (size_t n = 256; n < size; n += step) lengths.push_back(n);
    for (size_t n = size - 8; n < size; ++n) lengths.push_back(n);
    return lengths;
}

TEST(ImageSuite, TruncatedFilesAreSurvived)
{
    REQUIRE_CORPUS(root);
    size_t decodes = 0;
    for (const std::string& rel : ImageFiles(root)) {
        const auto bytes = ReadBytes(root / rel);
        for (size_t n : PrefixLengths(bytes.size())) {
            // Each prefix in a buffer of its own size, so a read past it is a real overread.
            const std::vector<uint8_t> prefix(bytes.begin(), bytes.begin() + long(n));
            CSkinImage image;
            const int ok = DecodeImage(prefix.data(), prefix.size(), image);
            ASSERT_EQ(ok, image.IsEmpty() ? 0 : 1) << rel << " cut at " << n;
            if (ok) {
                ASSERT_TRUE(CSkinImage::SizeAllowed(image.Width(), image.Height())) << rel << " cut at " << n;
            }
            ++decodes;
        }
    }
    EXPECT_GT(decodes, 100000u);
}

TEST(ImageSuite, MetafileRendersLikeItsReference)
{
    REQUIRE_CORPUS(root);
    // Another renderer drew the reference: same size, and nearly all pixels close.
    const auto bytes = ReadBytes(root / "pillow/wmf/drawing.wmf");
    CSkinImage image, expected;
    ASSERT_EQ(DecodeWmf(bytes.data(), bytes.size(), image, 72), 1);
    ASSERT_EQ(DecodeImageFile((root / "pillow/wmf/drawing_wmf_ref.png").string(), expected), 1);
    const Difference d = Compare(image, expected, 64);
    ASSERT_TRUE(d.sameSize) << image.Width() << "x" << image.Height();
    EXPECT_LT(d.pixels, int64_t(image.Width()) * image.Height() / 20);
}

}  // namespace
