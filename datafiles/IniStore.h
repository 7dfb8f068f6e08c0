#pragma once
// An INI-style file held in memory: ordered sections of ordered key/value pairs,
// typed look-ups and a writer. Fixed capacities are behaviour: 125 sections,
// 82 keys a section, 30,000 bytes read, keys of 39 and values of 255 characters.
// Names compare case-insensitively; the first match wins. Look-ups always fill
// their output (the caller's default when not found) and return the found flag.
// Texts are bytes in the file's own encoding (Windows-1252 for our files).
// One thread uses a store at a time.
#include <cstdint>
#include <string>

class CIniStore {
public:
    CIniStore();
    ~CIniStore();
    CIniStore(const CIniStore&) = delete;
    CIniStore& operator=(const CIniStore&) = delete;

    // Replaces the content with the parsed file; 0 (content kept) when unreadable.
    int Load(const char* path);
    int GetString(std::string& out, const char* section, const char* key, const char* def);
    int GetInt(int& out, const char* section, const char* key, int def);
    int GetIntPair(int& x, int& y, const char* section, const char* key, int defX, int defY);
    // Colour as 0x00BBGGRR (red in the low byte).
    int GetColor(uint32_t& out, const char* section, const char* key, uint32_t def);
    int GetDouble(double& out, const char* section, const char* key, double def);
    // Overwrites an existing key only; never creates sections or keys.
    int SetValue(const char* section, const char* key, const char* value);
    // Writes every section and pair; replaces the file atomically. 0 on any failure.
    int Save(const char* path);
    void Clear();
    int FindSection(const char* name) const;
    int FindKey(int section, const char* key) const;

private:
    // Implementation state is added below by the store's own sources.
};
