#pragma once
// Reads data files without ever waiting or exhausting memory: a folder, a
// FIFO, a device or an unreadable file where a data file is expected must
// never hang or end the program. Every reader of a data file (settings,
// skin descriptions, rates, unit names, images, their cache) opens it here.
#include <cstddef>
#include <string>

struct stat;

// Data files are small; anything larger is refused rather than read whole.
constexpr size_t kMaxDataFileBytes = size_t(64) << 20;

// Opens an existing regular file read-only, close-on-exec, never blocking
// (a FIFO without a writer would otherwise wait for one) and never opening
// anything but a regular file (a device is not even opened). Returns the
// descriptor, with the file's fstat in `info` when given; -1 with errno's
// value in `error` (ENOENT for a missing file, EISDIR for a folder, ENODEV
// for a FIFO, device or socket).
int OpenDataFile(const std::string& path, int& error, struct stat* info = nullptr);

// 1 with the bytes in `out`; 0 with errno's value in `error` (as
// OpenDataFile, EFBIG for a file larger than maxBytes) and `out` empty.
// `path` is UTF-8.
int ReadFileText(const std::string& path, std::string& out, int& error, size_t maxBytes = kMaxDataFileBytes);

// Up to `capacity` bytes from the start of fd into buffer, `got` of them;
// 0 on a read error.
int ReadUpTo(int fd, char* buffer, size_t capacity, size_t& got);

// The reason an error of the calls above gives, for a message to the user
// ("not a regular file" where errno's own text would say "No such device").
std::string FileErrorText(int error);
