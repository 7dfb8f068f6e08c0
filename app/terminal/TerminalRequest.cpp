#include "app/terminal/TerminalRequest.h"

#include "conversions/UnitNames.h"
#include "platform/FileText.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <unistd.h>

const char* const kNotationWords[4] = {"normal", "fixed", "sci", "eng"};

namespace {

const char* const kAngleWords[3] = {"deg", "rad", "grad"};

bool ParseWholeNumber(const std::string& text, long low, long high, long& out)
{
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < low || value > high) return false;
    out = value;
    return true;
}

} // namespace

const std::string* STerminalRequest::Find(const char* option) const
{
    const std::string* found = nullptr;
    for (const auto& [name, value] : options)
        if (name == option) found = &value;
    return found;
}

std::string STerminalRequest::JoinedOperands() const
{
    std::string joined;
    for (const std::string& operand : operands) joined += (joined.empty() ? "" : " ") + operand;
    return joined;
}

std::string Quoted(const std::string& text)
{
    const std::string cut = CutUtf8(text, 40);
    return "\"" + cut + (cut.size() < text.size() ? "...\"" : "\"");
}

int UsageError(const std::string& message)
{
    std::fprintf(stderr, "tallix: %s\nTry \"tallix --help\".\n", message.c_str());
    return 2;
}

int Failure(const std::string& message)
{
    std::fprintf(stderr, "tallix: %s\n", message.c_str());
    return 1;
}

int ReadNumberOption(const STerminalRequest& request, const char* option, int low, int high, int& out)
{
    const std::string* text = request.Find(option);
    if (!text) return 0;
    long value = 0;
    if (!ParseWholeNumber(*text, low, high, value))
        return UsageError(std::string(option) + ": " + Quoted(*text) + " is not a number from " + std::to_string(low) +
                          " to " + std::to_string(high));
    out = static_cast<int>(value);
    return 0;
}

int NotationFromWord(const std::string& word)
{
    for (int n = 0; n < 4; ++n)
        if (word == kNotationWords[n] || word == std::to_string(n)) return n;
    return -1;
}

int ReadEngineOptions(const STerminalRequest& request, SEngineOptions& out)
{
    if (const std::string* base = request.Find("--base")) {
        long value = 0;
        if (!ParseWholeNumber(*base, 2, 36, value))
            return UsageError("--base: " + Quoted(*base) + " is not a base from 2 to 36");
        out.base = static_cast<int>(value);
    }
    if (const std::string* angle = request.Find("--angle")) {
        out.angle = -1;
        for (int a = 0; a < 3; ++a)
            if (*angle == kAngleWords[a]) out.angle = a;
        if (out.angle < 0) return UsageError("--angle: " + Quoted(*angle) + " is not deg, rad or grad");
    }
    if (const std::string* notation = request.Find("--notation")) {
        out.notation = NotationFromWord(*notation);
        if (out.notation < 0)
            return UsageError("--notation: " + Quoted(*notation) + " is not normal, fixed, sci, eng or 0 to 3");
    }
    out.strict = request.Has("--strict");
    return 0;
}

bool IsTerminal(int fd)
{
    return isatty(fd) != 0;
}

std::string UnreadableFileProblem(const std::string& path)
{
    int error = 0;
    const int fd = OpenDataFile(path, error);
    if (fd >= 0) {
        close(fd);
        return std::string();
    }
    if (error == ENOENT || error == ENOTDIR) return path + " is missing";
    if (error == EISDIR) return path + " is a folder";
    return path + " can't be read (" + FileErrorText(error) + ")";
}
