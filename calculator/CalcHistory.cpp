#include "calculator/CalcHistory.h"

#include "platform/AtomicFile.h"
#include "platform/FileText.h"
#include "platform/TextCodec.h"
#include "platform/UserFolders.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <charconv>
#include <cstring>
#include <utility>

namespace {

const size_t kMaxFileBytes = 1 << 20;

// Holds the history's lock file while the file is read, merged and written,
// so two Tallix windows of one user never drop each other's entries.
class CFileLock {
public:
    explicit CFileLock(const std::string& path)
    {
        if (path.empty()) return;
        m_fd = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (m_fd >= 0)
            while (::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
            }
    }
    ~CFileLock()
    {
        if (m_fd >= 0) ::close(m_fd);
    }
    CFileLock(const CFileLock&) = delete;
    CFileLock& operator=(const CFileLock&) = delete;

private:
    int m_fd = -1;
};

bool ReadInt(const std::string& text, int low, int high, int& value)
{
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && value >= low && value <= high;
}

bool IsPlainText(const std::string& text)
{
    if (text.empty() || text.size() > CCalcHistory::kTextLimit) return false;
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7F) return false;
    return true;
}

std::vector<SHistoryEntry> ParseFile(const std::string& text)
{
    std::vector<SHistoryEntry> entries;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        SHistoryEntry entry;
        if (ParseHistoryLine(text.substr(start, end - start), entry)) entries.push_back(std::move(entry));
        start = end + 1;
    }
    return entries;
}

// --- the readable form ---

bool IsDigitChar(char c, int base)
{
    if (c >= '0' && c <= '9') return true;
    return base != 10 && c >= 'A' && c <= 'Z';
}

bool IsBinaryOperator(unsigned char c, int base)
{
    if (std::strchr("+-\xD7\xF7*/", c) && c) return true;
    return base == 10 && c && std::strchr("^rCPRXY<&|xn%", c);
}

}  // namespace

CCalcHistory::CCalcHistory(std::string path) : m_path(std::move(path)) {}

// "history" beside it is the terminal line editor's.
std::string DefaultHistoryPath() { return TallixStateFolder() + "calculations"; }

std::string HistoryLine(const SHistoryEntry& entry)
{
    return std::to_string(entry.mode) + '\t' + std::to_string(entry.base) + '\t' + Cp1252ToUtf8(entry.expression) +
           '\t' + Cp1252ToUtf8(entry.result);
}

int ParseHistoryLine(const std::string& line, SHistoryEntry& entry)
{
    std::string fields[4];
    size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        const size_t tab = i < 3 ? line.find('\t', start) : line.size();
        if (tab == std::string::npos) return 0;
        fields[i] = line.substr(start, tab - start);
        start = tab + 1;
    }
    if (fields[3].find('\t') != std::string::npos) return 0;
    SHistoryEntry read;
    bool lossless = true, resultLossless = true;
    read.expression = Utf8ToCp1252(fields[2], &lossless);
    read.result = Utf8ToCp1252(fields[3], &resultLossless);
    if (!ReadInt(fields[0], 0, 4, read.mode) || !ReadInt(fields[1], 2, 36, read.base) || !lossless ||
        !resultLossless || !IsPlainText(read.expression) || !IsPlainText(read.result))
        return 0;
    entry = std::move(read);
    return 1;
}

int CCalcHistory::Load()
{
    if (m_path.empty()) return 1;
    std::string text;
    int error = 0;
    if (!ReadFileText(m_path, text, error, kMaxFileBytes) && error != ENOENT) return 0;
    std::vector<SHistoryEntry> entries = ParseFile(text);
    if (entries.size() > kLimit) entries.erase(entries.begin(), entries.end() - kLimit);
    if (entries != m_entries) {
        m_entries = std::move(entries);
        ++m_revision;
    }
    return 1;
}

int CCalcHistory::Add(const SHistoryEntry& entry)
{
    SHistoryEntry checked;
    if (!ParseHistoryLine(HistoryLine(entry), checked)) return 0;
    CFileLock lock(m_path);
    Load();
    if (!m_entries.empty() && m_entries.back() == checked) return 1;
    m_entries.push_back(std::move(checked));
    if (m_entries.size() > kLimit) m_entries.erase(m_entries.begin());
    ++m_revision;
    return Save();
}

int CCalcHistory::Clear()
{
    CFileLock lock(m_path);
    if (!m_entries.empty()) ++m_revision;
    m_entries.clear();
    return Save();
}

int CCalcHistory::Save()
{
    if (m_path.empty()) return 1;
    std::string text;
    for (const SHistoryEntry& entry : m_entries) text += HistoryLine(entry) + '\n';
    MakeParentFolders(m_path);
    return WriteFileAtomically(m_path.c_str(), text);
}

std::string ReadableExpression(const std::string& engineText, int base, const std::string& point)
{
    static const std::pair<const char*, const char*> kNamed[] = {
        {"(3.141592653589793238)", "\xCF\x80"},
        {"(2.718281828459045235)", "e"},
    };
    std::string out;
    bool operandBefore = false;  // a unary minus follows no operand
    for (size_t i = 0; i < engineText.size();) {
        const char c = engineText[i];
        bool named = false;
        for (const auto& [text, name] : kNamed)
            if (engineText.compare(i, std::strlen(text), text) == 0) {
                out += name;
                i += std::strlen(text);
                operandBefore = named = true;
                break;
            }
        if (named) continue;
        if (IsDigitChar(c, base) || c == '.') {
            size_t j = i;
            while (j < engineText.size() && (IsDigitChar(engineText[j], base) || engineText[j] == '.')) ++j;
            // A result carries its exponent: 1.5e-007.
            if (base == 10 && j + 1 < engineText.size() && engineText[j] == 'e' &&
                (engineText[j + 1] == '+' || engineText[j + 1] == '-'))
                for (j += 2; j < engineText.size() && IsDigitChar(engineText[j], 10); ++j) {
                }
            std::string number = engineText.substr(i, j - i);
            for (char d : number) out += d == '.' ? point : std::string(1, d);
            i = j;
            operandBefore = true;
        } else if (base == 10 && c >= 'a' && c <= 'z' && engineText.find('(', i) != std::string::npos &&
                   engineText.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789^", i) ==
                       engineText.find('(', i)) {
            // A function name runs up to its "(".
            const size_t open = engineText.find('(', i);
            out += engineText.substr(i, open - i);
            i = open;
            operandBefore = false;
        } else if (c == '-' && i + 1 < engineText.size() && engineText[i + 1] == '\xB9') {
            out += Cp1252ToUtf8("-\xB9");
            i += 2;
        } else if (IsBinaryOperator(static_cast<unsigned char>(c), base) && (operandBefore || c != '-')) {
            const char shown = c == '*' ? '\xD7' : c == '/' ? '\xF7' : c;
            out += " " + Cp1252ToUtf8(std::string(1, shown)) + " ";
            operandBefore = false;
            ++i;
        } else {
            out += Cp1252ToUtf8(std::string(1, c));
            operandBefore = c == ')' || c == '\xB2' || c == '\xB3';
            ++i;
        }
    }
    return out;
}
