#pragma once
// Reads a whole file into memory without exceptions: a folder, a device or an
// unreadable file where a data file is expected must never end the program.
#include <string>

// 1 with the bytes in `out`; 0 with errno's value in `error` (ENOENT for a
// missing file, EISDIR for a folder) and `out` empty. `path` is UTF-8.
int ReadFileText(const std::string& path, std::string& out, int& error);
