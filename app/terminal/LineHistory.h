#pragma once
// The line calculator's history file. The format is the line editor's own:
// a first line "_HiStOrY_V2_", then one entry a line with blanks, control
// characters and backslashes written as backslash escapes, so files written
// by earlier versions are read as they are. Only a regular file is read (a
// FIFO or device there must never hold up the prompt), and a save merges:
// it reads the file again under a lock and appends this session's entries,
// so sessions that run at once keep each other's lines.
#include <cstddef>
#include <string>
#include <vector>

class CLineHistory {
public:
    // path: the history file; empty keeps no history.
    explicit CLineHistory(std::string path) : path_(std::move(path)) {}

    // The stored entries, oldest first; none when the file is missing, too
    // large or no regular file.
    std::vector<std::string> Load() const;
    // An entry typed in this session.
    void Add(const std::string& entry) { added_.push_back(entry); }
    // Writes the stored entries as they are now followed by this session's,
    // the last `limit` of them, replacing the file atomically. Nothing is
    // written when this session added nothing. False when it could not be written.
    bool Save(size_t limit) const;

private:
    // False when a file is there but cannot be read as a history.
    bool Read(std::vector<std::string>& entries) const;

    std::string path_;
    std::vector<std::string> added_;
};

// One entry as the file holds it, and back.
std::string EncodeHistoryEntry(const std::string& entry);
std::string DecodeHistoryEntry(const std::string& stored);
