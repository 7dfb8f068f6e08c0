#pragma once
// An INI-style file held in memory: ordered sections of ordered key/value pairs,
// typed look-ups and a writer. Fixed capacities are behaviour: 125 sections,
// 82 keys a section, 30,000 bytes read, keys of 39 and values of 255 characters.
// Names compare case-insensitively; the first match wins. Look-ups always fill
// their output (the caller's default when not found) and return the found flag.
// Texts are bytes in the file's own encoding (Windows-1252 for our files).
// One thread uses a store at a time.
//
// Limits beyond the fixed capacities:
// - A key longer than 39 characters is not stored (its line is dropped): a key
//   cut short would answer look-ups for a different name.
// - A value or section name longer than 255 characters is cut to its first 255
//   characters (and a value then loses any blanks the cut leaves at its end).
// - Lines have no limit of their own: a 39-character key with a 255-character
//   value reads whole, so a saved file of up to 30,000 bytes reads back to the
//   same sections and pairs.
// - SetValue refuses (0) a value holding CR or LF, which the saved file would
//   show as further lines; a value is also cut to 255 characters there.
// - Key lines before the first section header belong to no section and are
//   ignored.
// - Save writes the whole text (no 10,000-byte cut) into a temporary file in
//   the same folder that is flushed to disk and then renamed over the target,
//   so an interrupted or failed save leaves the old file intact. A text longer
//   than the 30,000 bytes Load reads is not written: Save returns 0 and the old
//   file stays (a caller that saves a user's change tells the user). It
//   returns 0 unless every byte reached the disk.
// - The text is read as a C string: a zero byte ends it, like the end of file.
// Paths are file names as the system takes them (UTF-8 on this system).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CIniStore {
public:
    CIniStore();
    ~CIniStore();
    CIniStore(const CIniStore&) = delete;
    CIniStore& operator=(const CIniStore&) = delete;

    // Replaces the content with the parsed file; 0 (content kept) when unreadable.
    int Load(const char* path);
    // Replaces the content with `text` parsed exactly as Load reads a file of
    // these bytes (the 30,000-byte cut, the zero byte and the blank-line stop
    // included). Always 1.
    int LoadText(std::string_view text);
    int GetString(std::string& out, const char* section, const char* key, const char* def);
    int GetInt(int& out, const char* section, const char* key, int def);
    int GetIntPair(int& x, int& y, const char* section, const char* key, int defX, int defY);
    // Colour as 0x00BBGGRR (red in the low byte).
    int GetColor(uint32_t& out, const char* section, const char* key, uint32_t def);
    int GetDouble(double& out, const char* section, const char* key, double def);
    // Overwrites an existing key only; never creates sections or keys.
    int SetValue(const char* section, const char* key, const char* value);
    // As SetValue, but a missing key is appended to its section and a missing
    // section to the file, within the capacities (82 keys a section, 125
    // sections). 0 (nothing changed) when the section or the file is full, or
    // the key could not be read back (empty, longer than 39 characters, holding
    // "=" or a line break).
    int AddValue(const char* section, const char* key, const char* value);
    // Writes every section and pair; replaces the file atomically. 0 on any
    // failure, and when the text would exceed what Load reads (file kept).
    int Save(const char* path);
    void Clear();
    int FindSection(const char* name) const;
    int FindKey(int section, const char* key) const;
    // Where the last read found a section header or a pair: its 1-based line
    // in the text; 0 for an index outside. For messages to the file's author.
    int SectionLine(int section) const;
    int KeyLine(int section, int key) const;
    // The line at which two empty lines in a row ended the last read; 0 when
    // the text was read to its end.
    int StopLine() const { return stopLine_; }
    // 1 when the last read took in the whole text: no 30,000-byte cut, zero
    // byte or two-empty-line stop, and every line not blank nor a comment
    // (";" or "#") stored as it stood. Saving what a partial read held would
    // delete the rest.
    int ReadWhole() const { return whole_; }

private:
    static constexpr int kMaxSections = 125;
    static constexpr int kMaxPairs = 82;
    static constexpr size_t kMaxRead = 30000;
    static constexpr size_t kMaxKey = 39;
    static constexpr size_t kMaxValue = 255;

    struct Pair {
        std::string key;
        std::string value;
        int line = 0;
    };
    struct Section {
        std::string name;
        std::vector<Pair> pairs;
        int line = 0;
    };
    const Pair* Find(const char* section, const char* key) const;
    void ParseLine(const std::string& line, int lineNo);

    std::vector<Section> sections_;
    int stopLine_ = 0;
    int whole_ = 1;
};
