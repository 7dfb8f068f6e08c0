#pragma once
// The two backends of RegistryAccess.
//
// CMemoryRegistry keeps everything in memory (tests, tools).
//
// CFileRegistry keeps the values in one text file, by default
// $XDG_CONFIG_HOME/tallix/tallix.conf (~/.config/tallix/tallix.conf when the
// variable is unset or not absolute). The file has one section per key, named
// after the key below "SOFTWARE\Fernhill\Tallix" ([Tallix] for that key
// itself; any other key whole, [\Name] when the name has no "\"):
//
//   [General]
//   IniFile="default.ini"
//   RegionalSettings=0
//
// A number is a bare signed decimal; a text is quoted, UTF-8, with the escapes
// \\ \" \r \n \t and \xHH for other control bytes. Lines that are not one of
// these (garbled, out of range, a value before the first section) are skipped,
// so a damaged file costs only its damaged values. Sections written whole
// ([SOFTWARE\Fernhill\Tallix\General]) read as their key too.
//
// The file is read once, on first use. When it does not exist yet, the file
// older versions wrote ($XDG_CONFIG_HOME/Fernhill/Tallix.conf, for the default
// path only) is read instead, once: its values are stored in the new file,
// and it is left in place. When something is there that cannot be read (a
// folder, no permission), one message says so, the defaults hold and writes
// return 0 without touching it.
//
// Several processes of one user write the file (the window, the terminal's
// rates update, a second window on another display): each store takes a lock
// on the file's folder, reads the file again and writes back only the values
// this process changed (written with a value other than the one it had), so
// what another process stored meanwhile stays. A store that changes nothing
// on disk leaves the file alone; otherwise it replaces it atomically (see
// platform/AtomicFile.h), at every changing write or once at EndWrites inside
// a BeginWrites bracket. A store that fails says so in one message (until a
// store succeeds again) and returns 0; the file keeps what it had and the
// changes wait for the next store. Key and value names compare without regard
// to ASCII letter case, as the registry's do. Names the file cannot hold
// (empty, with a line break, a value name with "=" or starting with "#" or
// "[") are refused: the write returns 0.
#include "platform/RegistryAccess.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// Typed values grouped by key, in the order they were first written.
class CRegistryValues {
public:
    struct Value {
        std::string name;
        bool isText = false;
        std::string text;
        int32_t number = 0;
    };
    struct Key {
        std::string name;
        std::vector<Value> values;
    };

    const Value* Find(const char* key, const char* name) const;
    Value& Ensure(const char* key, const char* name);
    const std::vector<Key>& Keys() const { return keys_; }
    void Clear();

    // The reading rules of RegistryAccess, type crossings included.
    int ReadText(const char* key, const char* name, std::string& out, size_t capacity) const;
    int ReadNumber(const char* key, const char* name, int32_t& out) const;

private:
    std::vector<Key> keys_;
    // Positions in keys_ and in a key's values by folded name, so that a file
    // of many values reads in time proportional to its size.
    std::unordered_map<std::string, size_t> keyIndex_;
    std::unordered_map<std::string, size_t> valueIndex_;  // folded key, '\0', folded name
};

class CMemoryRegistry : public RegistryAccess {
public:
    int ReadText(const char* key, const char* name, std::string& out, size_t capacity) override;
    int ReadNumber(const char* key, const char* name, int32_t& out) override;
    int WriteText(const char* key, const char* name, const char* text) override;
    int WriteNumber(const char* key, const char* name, int32_t value) override;

    const CRegistryValues& Values() const { return values_; }

private:
    CRegistryValues values_;
};

class CFileRegistry : public RegistryAccess {
public:
    // `path` empty: the standard place (DefaultPath), taking over LegacyPath.
    // `legacyPath`: the older file to read when `path` does not exist yet.
    explicit CFileRegistry(std::string path = std::string(), std::string legacyPath = std::string());

    int ReadText(const char* key, const char* name, std::string& out, size_t capacity) override;
    int ReadNumber(const char* key, const char* name, int32_t& out) override;
    int WriteText(const char* key, const char* name, const char* text) override;
    int WriteNumber(const char* key, const char* name, int32_t value) override;
    void BeginWrites() override;
    int EndWrites() override;

    const std::string& Path() const { return path_; }
    static std::string DefaultPath();
    static std::string LegacyPath();
    // The file text for `values`, and the values read back from such a text.
    static std::string Format(const CRegistryValues& values);
    static void Parse(const std::string& text, CRegistryValues& values);

private:
    void LoadOnce();
    int Write(const char* key, const char* name, bool isText, const char* text, int32_t number);
    int Store();
    // Under the lock: the file as it is now, with changed_ on top.
    int Merge();

    std::string path_;
    std::string legacyPath_;
    CRegistryValues values_;  // as this process read and wrote them
    CRegistryValues changed_; // this process's changes not stored yet
    bool loaded_ = false;
    bool unreadable_ = false;
    int batchDepth_ = 0;
    bool dirty_ = false;
    bool saveFailing_ = false;
};
