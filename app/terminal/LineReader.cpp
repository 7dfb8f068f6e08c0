#include "app/terminal/LineReader.h"

#include "platform/LibrarySymbol.h"
#include <editline/readline.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <algorithm>

namespace {

constexpr int kHistoryLines = 1000;

volatile std::sig_atomic_t g_interrupted = 0;

void OnInterrupt(int)
{
    g_interrupted = 1;
}

sigset_t g_waitMask; // the signal mask while waiting for a key: Ctrl+C let through

// Reads keys itself so that Ctrl+C ends the line (to be dropped) rather than
// the program. Ctrl+C is held back except while waiting for a key, so it is
// never lost between two waits.
int ReadKey(FILE* in)
{
    pollfd ready{fileno(in), POLLIN, 0};
    for (;;) {
        if (g_interrupted) return '\n';
        if (ppoll(&ready, 1, nullptr, &g_waitMask) < 0) {
            if (errno == EINTR) continue;
            return EOF;
        }
        unsigned char c = 0;
        const ssize_t n = read(ready.fd, &c, 1);
        if (n == 1) return c;
        if (n < 0 && errno == EINTR) continue;
        return EOF;
    }
}

// The line editor reads UTF-8 ("÷", "×", "²") only under a UTF-8 character
// type; keep the user's when it is one.
void UseUtf8CharacterType()
{
    const char* current = std::setlocale(LC_CTYPE, "");
    if (current && (std::strstr(current, "UTF-8") || std::strstr(current, "utf8"))) return;
    std::setlocale(LC_CTYPE, "C.UTF-8");
}

std::string HistoryPath()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return std::string(state) + "/tallix/history";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.local/state/tallix/history";
    return std::string();
}

// libedit, loaded when a line calculator reads from a terminal: the window
// and scripts never load it. Without it lines are read plainly.
struct EditApi {
    char* (*readline)(const char*);
    int (*add_history)(const char*);
    void (*stifle_history)(int);
    void (*using_history)();
    int* catchSignals;
    int (**getcFunction)(FILE*);
    FILE** outStream;
};

const EditApi* Edit()
{
    static EditApi api;
    static bool loaded = [] {
        void* library = dlopen("libedit.so.2", RTLD_NOW | RTLD_LOCAL);
        return library && FindLibrarySymbol(library, "readline", api.readline) && FindLibrarySymbol(library, "add_history", api.add_history) &&
               FindLibrarySymbol(library, "stifle_history", api.stifle_history) &&
               FindLibrarySymbol(library, "using_history", api.using_history) &&
               FindLibrarySymbol(library, "rl_catch_signals", api.catchSignals) &&
               FindLibrarySymbol(library, "rl_getc_function", api.getcFunction) && FindLibrarySymbol(library, "rl_outstream", api.outStream);
    }();
    return loaded ? &api : nullptr;
}

} // namespace

#define readline Edit()->readline
#define add_history Edit()->add_history
#define stifle_history Edit()->stifle_history
#define using_history Edit()->using_history
#define rl_catch_signals (*Edit()->catchSignals)
#define rl_getc_function (*Edit()->getcFunction)
#define rl_outstream (*Edit()->outStream)

CLineReader::CLineReader() : interactive_(isatty(STDIN_FILENO) != 0 && Edit() != nullptr)
{
    if (!interactive_) return;
    if (!isatty(STDOUT_FILENO)) chatter_ = stderr;
    UseUtf8CharacterType();
    rl_catch_signals = 0;
    rl_getc_function = ReadKey;
    rl_outstream = chatter_;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigset_t interrupt;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    sigprocmask(SIG_BLOCK, &interrupt, &g_waitMask);
    sigdelset(&g_waitMask, SIGINT);
    using_history();
    stifle_history(kHistoryLines);
    history_ = CLineHistory(HistoryPath());
    for (const std::string& entry : history_.Load()) add_history(entry.c_str());
}

CLineReader::~CLineReader()
{
    if (interactive_) history_.Save(kHistoryLines);
}

bool CLineReader::ReadLine(const std::string& prompt, std::string& line)
{
    if (!interactive_) return ReadPlainLine(line);
    for (;;) {
        g_interrupted = 0;
        char* raw = readline(prompt.c_str());
        if (!raw && !g_interrupted) return false;
        line = raw ? raw : "";
        std::free(raw);
        if (g_interrupted) continue;
        if (!line.empty()) {
            add_history(line.c_str());
            history_.Add(line);
        }
        return true;
    }
}

bool CLineReader::ReadPlainLine(std::string& line)
{
    line.clear();
    bool any = false;
    for (;;) {
        if (start_ < buffer_.size()) {
            const char* begin = buffer_.data() + start_;
            const size_t left = buffer_.size() - start_;
            const char* newline = static_cast<const char*>(std::memchr(begin, '\n', left));
            const size_t length = newline ? static_cast<size_t>(newline - begin) : left;
            // The rest of an overlong line is read and dropped.
            line.append(begin, std::min(length, kMaxLineBytes - line.size()));
            start_ += length + (newline ? 1 : 0);
            any = true;
            if (newline) return true;
        }
        if (ended_) return any && readError_ == 0;
        FillBuffer();
    }
}

void CLineReader::FillBuffer()
{
    buffer_.resize(kReadBlock);
    start_ = 0;
    ssize_t n;
    do {
        n = read(STDIN_FILENO, buffer_.data(), buffer_.size());
    } while (n < 0 && errno == EINTR);
    buffer_.resize(n > 0 ? static_cast<size_t>(n) : 0);
    if (n < 0) readError_ = errno;
    ended_ = n <= 0;
}
