#pragma once
// The settings registry: values grouped under keys (paths such as
// "SOFTWARE\\Fernhill\\Tallix\\General" below the current user's root), each value
// either a number (a signed 32-bit integer) or a text. Numbers and texts are kept
// apart as separate value types.
//
// A value read as the other type is not converted but taken byte for byte, as
// the registry would hand over its raw data: a number read as text gives its
// four little-endian bytes (up to the first zero byte); a text read as a number
// gives its bytes and terminating zero as a little-endian integer when they fit
// in four bytes, and counts as missing otherwise.
//
// Texts are Windows-1252 bytes. All operations return 1 on success, 0 on failure
// (read: missing, or larger than the caller's capacity; then out is unchanged).
// One thread uses a backend at a time.
#include <cstddef>
#include <cstdint>
#include <string>

class RegistryAccess {
public:
    virtual ~RegistryAccess() = default;

    // capacity counts the terminating zero: a text of capacity or more bytes
    // does not fit and reads as missing.
    virtual int ReadText(const char* key, const char* name, std::string& out, size_t capacity) = 0;
    virtual int ReadNumber(const char* key, const char* name, int32_t& out) = 0;
    virtual int WriteText(const char* key, const char* name, const char* text) = 0;
    virtual int WriteNumber(const char* key, const char* name, int32_t value) = 0;

    // Writes between BeginWrites and EndWrites may reach storage together at
    // EndWrites (the file backend then replaces its file once). Outside such a
    // bracket every write reaches storage at once. EndWrites returns 1 when
    // everything was stored.
    virtual void BeginWrites() {}
    virtual int EndWrites() { return 1; }
};

// The process-wide registry: the file backend at its standard place unless a
// test or tool installed another one. Never null.
RegistryAccess& TheRegistry();
// Installs `registry` (not owned; nullptr restores the file backend).
void SetRegistry(RegistryAccess* registry);
