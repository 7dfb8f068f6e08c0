#include "app/terminal/LineHistory.h"

#include "platform/AtomicFile.h"
#include "platform/FileText.h"
#include "platform/UserFolders.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

const char kHeader[] = "_HiStOrY_V2_";
// A history of a thousand lines is far smaller; a larger file is no history.
constexpr size_t kMaxHistoryBytes = size_t(4) << 20;

bool IsOctal(char c)
{
    return c >= '0' && c <= '7';
}

// The character a C-style escape stands for ("\n", "\s"...); 0 for none.
char CStyleEscape(char c)
{
    static const char kFrom[] = "ntrbafvsE";
    static const char kTo[] = "\n\t\r\b\a\f\v \033";
    const char* at = std::strchr(kFrom, c);
    return c && at ? kTo[at - kFrom] : 0;
}

// Decodes the escape at stored[i] (just after the backslash); returns the
// index after it.
size_t DecodeEscape(const std::string& stored, size_t i, std::string& out)
{
    if (i >= stored.size()) return i;
    const char c = stored[i];
    if (IsOctal(c)) {
        int value = 0;
        size_t end = i;
        while (end < stored.size() && end < i + 3 && IsOctal(stored[end])) value = value * 8 + (stored[end++] - '0');
        out += static_cast<char>(value);
        return end;
    }
    if (c == 'M' && i + 2 < stored.size() && (stored[i + 1] == '-' || stored[i + 1] == '^')) {
        const char base = stored[i + 2];
        const char plain = stored[i + 1] == '-' ? base : (base == '?' ? '\177' : static_cast<char>(base & 0x1f));
        out += static_cast<char>(plain | 0x80);
        return i + 3;
    }
    if (c == '^' && i + 1 < stored.size()) {
        out += stored[i + 1] == '?' ? '\177' : static_cast<char>(stored[i + 1] & 0x1f);
        return i + 2;
    }
    const char escaped = CStyleEscape(c);
    out += escaped ? escaped : c;
    return i + 1;
}

std::vector<std::string> Entries(const std::string& text)
{
    std::vector<std::string> entries;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        entries.push_back(DecodeHistoryEntry(text.substr(start, end - start)));
        start = end + 1;
    }
    if (!entries.empty() && entries.front() == kHeader) entries.erase(entries.begin());
    return entries;
}

// Held while a session reads the file again and replaces it.
class CHistoryLock {
public:
    explicit CHistoryLock(const std::string& path)
        : fd_(::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600))
    {
        // Without a lock file the merge still runs, unguarded.
        while (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~CHistoryLock()
    {
        if (fd_ >= 0) ::close(fd_);
    }
    CHistoryLock(const CHistoryLock&) = delete;
    CHistoryLock& operator=(const CHistoryLock&) = delete;

private:
    int fd_;
};

} // namespace

std::string EncodeHistoryEntry(const std::string& entry)
{
    std::string stored;
    for (char c : entry) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte > ' ' && byte != '\\' && byte != 0x7f) {
            stored += c;
            continue;
        }
        const char octal[] = {'\\', char('0' + (byte >> 6)), char('0' + ((byte >> 3) & 7)), char('0' + (byte & 7))};
        stored.append(octal, sizeof octal);
    }
    return stored;
}

std::string DecodeHistoryEntry(const std::string& stored)
{
    std::string entry;
    for (size_t i = 0; i < stored.size();) {
        if (stored[i] != '\\') entry += stored[i++];
        else i = DecodeEscape(stored, i + 1, entry);
    }
    return entry;
}

std::vector<std::string> CLineHistory::Load() const
{
    std::vector<std::string> entries;
    Read(entries);
    return entries;
}

bool CLineHistory::Read(std::vector<std::string>& entries) const
{
    std::string text;
    int error = 0;
    if (!ReadFileText(path_, text, error, kMaxHistoryBytes)) return error == ENOENT;
    entries = Entries(text);
    return true;
}

bool CLineHistory::Save(size_t limit) const
{
    if (path_.empty() || added_.empty()) return true;
    MakeParentFolders(path_);
    CHistoryLock lock(path_);
    // What is there but cannot be read (a folder, a FIFO, a huge file) is left as it is.
    std::vector<std::string> entries;
    if (!Read(entries)) return false;
    entries.insert(entries.end(), added_.begin(), added_.end());
    const size_t first = entries.size() > limit ? entries.size() - limit : 0;
    std::string text = std::string(kHeader) + "\n";
    for (size_t i = first; i < entries.size(); ++i) text += EncodeHistoryEntry(entries[i]) + "\n";
    return WriteFileAtomically(path_.c_str(), text) != 0;
}
