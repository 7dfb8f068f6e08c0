#include "platform/Registry.h"

#include "platform/AsciiCase.h"
#include "platform/AtomicFile.h"
#include "platform/FileText.h"
#include "platform/MessageBox.h"
#include "platform/TextCodec.h"
#include "platform/UserFolders.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Escape(const std::string& utf8)
{
    std::string out = "\"";
    for (char c : utf8) {
        unsigned char u = static_cast<unsigned char>(c);
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        default:
            if (u < 0x20 || u == 0x7F) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02X", u);
                out += hex;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// `quoted` runs from the opening quote to the end of the line.
bool Unescape(const std::string& quoted, std::string& out)
{
    if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') return false;
    out.clear();
    for (size_t i = 1; i + 1 < quoted.size(); ++i) {
        char c = quoted[i];
        if (c == '"') return false;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i + 1 >= quoted.size()) return false;
        switch (quoted[i]) {
        case '\\': out += '\\'; break;
        case '"': out += '"'; break;
        case 'r': out += '\r'; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'x': {
            if (i + 3 >= quoted.size()) return false;
            int high = HexDigit(quoted[i + 1]), low = HexDigit(quoted[i + 2]);
            if (high < 0 || low < 0) return false;
            out += static_cast<char>(high * 16 + low);
            i += 2;
            break;
        }
        default: return false;
        }
    }
    return true;
}

// Names the file can hold: a key becomes a group line, a value name the part
// before "=" of a line that must not read as a comment or a group.
bool StorableNames(const char* key, const char* name)
{
    if (!key || !name || !*key || !*name) return false;
    if (std::strpbrk(key, "\r\n") || std::strpbrk(name, "\r\n=")) return false;
    return name[0] != '#' && name[0] != '[';
}

// The program's own keys get plain section names ([General]; the key itself
// is [Tallix]); any other key is written whole, after a "\" when it has none
// or starts with one, so that every section reads back as the key it was.
const char kOwnKey[] = "SOFTWARE\\Fernhill\\Tallix";
const char kOwnSection[] = "Tallix";

bool SameFolded(const std::string& a, const char* b)
{
    if (a.size() != std::strlen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

std::string SectionName(const std::string& key)
{
    const size_t own = sizeof kOwnKey - 1;
    if (SameFolded(key, kOwnKey)) return kOwnSection;
    if (key.size() > own + 1 && key[own] == '\\' && SameFolded(key.substr(0, own), kOwnKey)) {
        const std::string rest = key.substr(own + 1);
        if (rest.find('\\') == std::string::npos && !SameFolded(rest, kOwnSection)) return rest;
    }
    if (key.find('\\') == std::string::npos || key[0] == '\\') return "\\" + key;
    return key;
}

std::string KeyOfSection(const std::string& section)
{
    if (section[0] == '\\') return section.substr(1);
    if (section.find('\\') != std::string::npos) return section;
    if (SameFolded(section, kOwnSection)) return kOwnKey;
    return std::string(kOwnKey) + "\\" + section;
}

bool ParseNumber(const std::string& text, int32_t& out)
{
    if (text.empty()) return false;
    errno = 0;
    char* stop = nullptr;
    long long value = std::strtoll(text.c_str(), &stop, 10);
    if (errno || *stop != '\0' || value < INT32_MIN || value > INT32_MAX) return false;
    out = static_cast<int32_t>(value);
    return true;
}

} // namespace

namespace {

std::string Folded(const char* name)
{
    std::string folded(name);
    for (char& c : folded) c = AsciiLower(c);
    return folded;
}

} // namespace

const CRegistryValues::Value* CRegistryValues::Find(const char* key, const char* name) const
{
    if (!key || !name) return nullptr;
    const auto k = keyIndex_.find(Folded(key));
    if (k == keyIndex_.end()) return nullptr;
    const auto v = valueIndex_.find(k->first + '\0' + Folded(name));
    return v == valueIndex_.end() ? nullptr : &keys_[k->second].values[v->second];
}

CRegistryValues::Value& CRegistryValues::Ensure(const char* key, const char* name)
{
    const auto [k, newKey] = keyIndex_.try_emplace(Folded(key), keys_.size());
    if (newKey) keys_.push_back(Key{key, {}});
    std::vector<Value>& values = keys_[k->second].values;
    const auto [v, newValue] = valueIndex_.try_emplace(k->first + '\0' + Folded(name), values.size());
    if (newValue) values.push_back(Value{name, false, std::string(), 0});
    return values[v->second];
}

void CRegistryValues::Clear()
{
    keys_.clear();
    keyIndex_.clear();
    valueIndex_.clear();
}

int CRegistryValues::ReadText(const char* key, const char* name, std::string& out, size_t capacity) const
{
    const Value* value = Find(key, name);
    if (!value) return 0;
    std::string text;
    if (value->isText) {
        text = value->text;
    } else {
        // A number's raw bytes, read as far as its first zero byte.
        uint32_t bits = static_cast<uint32_t>(value->number);
        for (int i = 0; i < 4 && ((bits >> (8 * i)) & 0xFF); ++i) text += static_cast<char>((bits >> (8 * i)) & 0xFF);
        if (capacity < 4) return 0;
    }
    if (text.size() + 1 > capacity) return 0;
    out = text;
    return 1;
}

int CRegistryValues::ReadNumber(const char* key, const char* name, int32_t& out) const
{
    const Value* value = Find(key, name);
    if (!value) return 0;
    if (!value->isText) {
        out = value->number;
        return 1;
    }
    // A text's bytes and its terminating zero, when they fit the four bytes of a number.
    if (value->text.size() + 1 > 4) return 0;
    uint32_t bits = 0;
    for (size_t i = 0; i < value->text.size(); ++i) bits |= static_cast<uint32_t>(static_cast<unsigned char>(value->text[i])) << (8 * i);
    out = static_cast<int32_t>(bits);
    return 1;
}

int CMemoryRegistry::ReadText(const char* key, const char* name, std::string& out, size_t capacity)
{
    return values_.ReadText(key, name, out, capacity);
}

int CMemoryRegistry::ReadNumber(const char* key, const char* name, int32_t& out)
{
    return values_.ReadNumber(key, name, out);
}

int CMemoryRegistry::WriteText(const char* key, const char* name, const char* text)
{
    if (!key || !name || !text) return 0;
    CRegistryValues::Value& value = values_.Ensure(key, name);
    value.isText = true;
    value.text = text;
    return 1;
}

int CMemoryRegistry::WriteNumber(const char* key, const char* name, int32_t number)
{
    if (!key || !name) return 0;
    CRegistryValues::Value& value = values_.Ensure(key, name);
    value.isText = false;
    value.text.clear();
    value.number = number;
    return 1;
}

CFileRegistry::CFileRegistry(std::string path, std::string legacyPath)
    : path_(path.empty() ? DefaultPath() : std::move(path)),
      legacyPath_(path_ == DefaultPath() && legacyPath.empty() ? LegacyPath() : std::move(legacyPath))
{
}

std::string CFileRegistry::DefaultPath() { return UserConfigFolder() + "/tallix/tallix.conf"; }

std::string CFileRegistry::LegacyPath() { return UserConfigFolder() + "/Fernhill/Tallix.conf"; }

std::string CFileRegistry::Format(const CRegistryValues& values)
{
    std::string text = "# Tallix settings: one section per key; numbers bare, texts quoted.\n";
    for (const CRegistryValues::Key& key : values.Keys()) {
        text += "\n[" + Cp1252ToUtf8(SectionName(key.name)) + "]\n";
        for (const CRegistryValues::Value& value : key.values) {
            text += Cp1252ToUtf8(value.name) + "=";
            text += value.isText ? Escape(Cp1252ToUtf8(value.text)) : std::to_string(value.number);
            text += "\n";
        }
    }
    return text;
}

void CFileRegistry::Parse(const std::string& text, CRegistryValues& values)
{
    std::string key;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        if (line.front() == '[' && line.back() == ']' && line.size() > 2) {
            key = KeyOfSection(Utf8ToCp1252(line.substr(1, line.size() - 2)));
            continue;
        }
        size_t equals = line.find('=');
        if (key.empty() || equals == 0 || equals == std::string::npos) continue;
        std::string name = Utf8ToCp1252(line.substr(0, equals));
        std::string data = line.substr(equals + 1);
        // Zero bytes would cut the names short; such a line is as garbled as any other.
        if (key.find('\0') != std::string::npos || name.find('\0') != std::string::npos ||
            !StorableNames(key.c_str(), name.c_str()))
            continue;
        std::string textValue;
        int32_t number = 0;
        if (!data.empty() && data[0] == '"') {
            if (!Unescape(data, textValue)) continue;
            CRegistryValues::Value& value = values.Ensure(key.c_str(), name.c_str());
            value.isText = true;
            value.text = Utf8ToCp1252(textValue);
        } else if (ParseNumber(data, number)) {
            CRegistryValues::Value& value = values.Ensure(key.c_str(), name.c_str());
            value.isText = false;
            value.text.clear();
            value.number = number;
        }
    }
}

void CFileRegistry::LoadOnce()
{
    if (loaded_) return;
    loaded_ = true;
    std::string text;
    int error = 0;
    if (ReadFileText(path_, text, error)) {
        Parse(text, values_);
        return;
    }
    if (error == ENOENT) {
        // Older versions kept the settings elsewhere: taken over once, and
        // that file is left as it was.
        if (!legacyPath_.empty() && ReadFileText(legacyPath_, text, error)) {
            Parse(text, values_);
            Parse(text, changed_);
            Store();
        }
        return;
    }
    // A folder or an unreadable file in its place: the defaults, and what is
    // there is left for the user to mend rather than written over.
    unreadable_ = true;
    MessageBoxService().Show("The settings file " + path_ + " cannot be read (" + FileErrorText(error) +
                                 "). Tallix runs with the default settings and does not save them.",
                             "Tallix", MessageKind::Warning, MessageButtons::Ok);
}

namespace {

// Held while a process reads the file and writes it back, so that two
// processes of one user never both merge into the same old text. The folder
// itself is locked: the file is replaced by a rename, so a lock on it would
// stay with the old file.
class CFolderLock {
public:
    explicit CFolderLock(const std::string& file)
    {
        const size_t slash = file.rfind('/');
        const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : file.substr(0, slash);
        fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd_ >= 0) {
            while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    ~CFolderLock()
    {
        if (fd_ >= 0) ::close(fd_); // closing releases the lock
    }
    CFolderLock(const CFolderLock&) = delete;
    CFolderLock& operator=(const CFolderLock&) = delete;

private:
    int fd_ = -1;
};

} // namespace

int CFileRegistry::Merge()
{
    MakeParentFolders(path_);
    CFolderLock lock(path_);
    // What other processes stored since this one read the file stays; only
    // the values this process changed go on top of it.
    std::string text;
    int error = 0;
    if (!ReadFileText(path_, text, error) && error != ENOENT) {
        errno = error;
        return 0;
    }
    CRegistryValues merged;
    Parse(text, merged);
    for (const CRegistryValues::Key& key : changed_.Keys())
        for (const CRegistryValues::Value& value : key.values) {
            CRegistryValues::Value& target = merged.Ensure(key.name.c_str(), value.name.c_str());
            target.isText = value.isText;
            target.text = value.text;
            target.number = value.number;
        }
    const std::string next = Format(merged);
    if (next != text && !WriteFileAtomically(path_.c_str(), next)) return 0;
    changed_.Clear();
    return 1;
}

int CFileRegistry::Store()
{
    if (unreadable_) return 0;
    if (batchDepth_ > 0) {
        dirty_ = true;
        return 1;
    }
    dirty_ = false;
    if (changed_.Keys().empty()) return 1;
    if (Merge()) {
        saveFailing_ = false;
        return 1;
    }
    // Said once, not at every later write that fails the same way; the file
    // on disk is still the last one saved, and the changes are kept for the
    // next store.
    if (!saveFailing_) {
        saveFailing_ = true;
        MessageBoxService().Show("The settings could not be saved to " + path_ + " (" + std::strerror(errno) +
                                     "). The settings saved before are kept.",
                                 "Tallix", MessageKind::Warning, MessageButtons::Ok);
    }
    return 0;
}

int CFileRegistry::ReadText(const char* key, const char* name, std::string& out, size_t capacity)
{
    LoadOnce();
    return values_.ReadText(key, name, out, capacity);
}

int CFileRegistry::ReadNumber(const char* key, const char* name, int32_t& out)
{
    LoadOnce();
    return values_.ReadNumber(key, name, out);
}

int CFileRegistry::Write(const char* key, const char* name, bool isText, const char* text, int32_t number)
{
    if (!StorableNames(key, name) || (isText && !text)) return 0;
    LoadOnce();
    const CRegistryValues::Value* had = values_.Find(key, name);
    const bool same = had && had->isText == isText && (isText ? had->text == text : had->number == number);
    // A value written as this process already had it is not its change:
    // another process may have stored a newer one since.
    if (!same) {
        for (CRegistryValues::Value* target : {&values_.Ensure(key, name), &changed_.Ensure(key, name)}) {
            target->isText = isText;
            target->text = isText ? text : "";
            target->number = isText ? 0 : number;
        }
    }
    return Store();
}

int CFileRegistry::WriteText(const char* key, const char* name, const char* text)
{
    return Write(key, name, true, text, 0);
}

int CFileRegistry::WriteNumber(const char* key, const char* name, int32_t number)
{
    return Write(key, name, false, nullptr, number);
}

void CFileRegistry::BeginWrites()
{
    ++batchDepth_;
}

int CFileRegistry::EndWrites()
{
    if (batchDepth_ > 0) --batchDepth_;
    if (batchDepth_ > 0 || !dirty_) return 1;
    return Store();
}

namespace {
RegistryAccess* g_installed = nullptr;
}

RegistryAccess& TheRegistry()
{
    static CFileRegistry file;
    return g_installed ? *g_installed : file;
}

void SetRegistry(RegistryAccess* registry)
{
    g_installed = registry;
}
