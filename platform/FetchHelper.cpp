#include "platform/FetchHelper.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

const char kRecordName[] = "tallix-fetch";
const char kRecordVersion[] = "1";
constexpr size_t kRecordFields = 8;
constexpr size_t kMaxRecordHead = 128;
constexpr size_t kArguments = 11;
// How often a waiting request looks at its abort flag and deadline.
constexpr int kSliceMs = 20;
// How long a helper that has said everything may take to exit.
constexpr auto kExitGrace = std::chrono::milliseconds(1000);

template <typename Number>
bool ParseNumber(std::string_view text, Number& value)
{
    if (text.empty()) return false;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool ParseFlag(std::string_view text, bool& value)
{
    if (text != "0" && text != "1") return false;
    value = text == "1";
    return true;
}

const char* Flag(bool value) { return value ? "1" : "0"; }

std::vector<std::string_view> Fields(std::string_view line)
{
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (size_t space; (space = line.find(' ', start)) != std::string_view::npos; start = space + 1)
        fields.push_back(line.substr(start, space - start));
    fields.push_back(line.substr(start));
    return fields;
}

void KillAndReap(pid_t pid)
{
    kill(pid, SIGKILL);
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

// Waits for the helper's exit; true when it ended by itself with status 0.
bool Reap(pid_t pid, const std::atomic<bool>& abort, Clock::time_point killAt)
{
    const Clock::time_point giveUp = std::min(killAt, Clock::now() + kExitGrace);
    for (;;) {
        int status = 0;
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (done < 0 && errno != EINTR) return false; // not ours to reap (SIGCHLD ignored)
        if (abort || Clock::now() >= giveUp) {
            KillAndReap(pid);
            return false;
        }
        poll(nullptr, 0, kSliceMs);
    }
}

pid_t Spawn(const std::string& path, const FetchRequest& request, int output)
{
    std::vector<std::string> arguments = FetchArguments(request);
    arguments.insert(arguments.begin(), path);
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, output, 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    // Nothing else of ours (the single-instance lock above all) reaches it.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, reset;
    sigemptyset(&none);
    sigemptyset(&reset);
    for (int sig : {SIGPIPE, SIGINT, SIGTERM, SIGHUP}) sigaddset(&reset, sig);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &reset);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = -1;
    if (posix_spawn(&pid, path.c_str(), &actions, &attributes, argv.data(), environ) != 0) pid = -1;
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

} // namespace

std::vector<std::string> FetchArguments(const FetchRequest& request)
{
    return {request.probe ? "probe" : "fetch",
            request.url,
            std::to_string(request.access),
            request.userAgent,
            std::to_string(request.timeoutMs),
            std::to_string(request.deadlineLeftMs),
            std::to_string(request.ifModifiedSince),
            Flag(request.reload),
            std::to_string(request.maxBytes),
            Flag(request.truncateToCap),
            Flag(request.anyStatus)};
}

bool ParseFetchArguments(int argc, const char* const* argv, FetchRequest& request)
{
    if (argc != static_cast<int>(kArguments) + 1) return false;
    const std::string_view kind = argv[1];
    if (kind != "probe" && kind != "fetch") return false;
    FetchRequest parsed;
    parsed.probe = kind == "probe";
    parsed.url = argv[2];
    parsed.userAgent = argv[4];
    const bool valid = ParseNumber(argv[3], parsed.access) && (parsed.access == 0 || parsed.access == 1) &&
                       ParseNumber(argv[5], parsed.timeoutMs) && ParseNumber(argv[6], parsed.deadlineLeftMs) &&
                       parsed.deadlineLeftMs >= 0 && ParseNumber(argv[7], parsed.ifModifiedSince) &&
                       ParseFlag(argv[8], parsed.reload) && ParseNumber(argv[9], parsed.maxBytes) &&
                       ParseFlag(argv[10], parsed.truncateToCap) && ParseFlag(argv[11], parsed.anyStatus);
    if (!valid || parsed.url.empty()) return false;
    request = std::move(parsed);
    return true;
}

std::string FetchRecord(const FetchResult& result)
{
    std::string record = std::string(kRecordName) + ' ' + kRecordVersion + ' ' + std::to_string(result.value) + ' ' +
                         std::to_string(result.status) + ' ' + Flag(result.timedOut) + ' ' + Flag(result.tooLarge) +
                         ' ' + Flag(result.notModified) + ' ' + std::to_string(result.body.size()) + '\n';
    return record + result.body;
}

bool ParseFetchRecord(const std::string& output, const FetchRequest& request, FetchResult& result)
{
    const size_t end = output.find('\n');
    if (end == std::string::npos || end >= kMaxRecordHead) return false;
    const std::vector<std::string_view> fields = Fields(std::string_view(output).substr(0, end));
    if (fields.size() != kRecordFields || fields[0] != kRecordName || fields[1] != kRecordVersion) return false;
    FetchResult parsed;
    size_t length = 0;
    if (!ParseNumber(fields[2], parsed.value) || !ParseNumber(fields[3], parsed.status) ||
        !ParseFlag(fields[4], parsed.timedOut) || !ParseFlag(fields[5], parsed.tooLarge) ||
        !ParseFlag(fields[6], parsed.notModified) || !ParseNumber(fields[7], length))
        return false;
    const size_t bodyStart = end + 1;
    if (length != output.size() - bodyStart || parsed.status < 0 || parsed.status > 999) return false;
    if (request.probe) {
        if (length != 0 || (parsed.value != 0 && parsed.value != 1)) return false;
    } else {
        const bool failed = parsed.value == -1 && length == 0;
        const bool received = parsed.value >= 0 && static_cast<size_t>(parsed.value) == length;
        if ((!failed && !received) || length > request.maxBytes) return false;
    }
    parsed.body = output.substr(bodyStart);
    result = std::move(parsed);
    return true;
}

bool RunFetchHelper(const std::string& path, const FetchRequest& request, const std::atomic<bool>& abort,
                    Clock::time_point killAt, FetchResult& result, bool& pastDeadline)
{
    pastDeadline = false;
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) return false;
    const pid_t pid = Spawn(path, request, pipeEnds[1]);
    close(pipeEnds[1]);
    if (pid < 0) {
        close(pipeEnds[0]);
        return false;
    }
    // A body longer than allowed is not read to its end.
    const size_t body = request.probe ? 0 : std::min(request.maxBytes, SIZE_MAX - kMaxRecordHead);
    const size_t limit = kMaxRecordHead + body;
    std::string output;
    bool complete = false;
    for (;;) {
        if (abort) break;
        if (Clock::now() >= killAt) {
            pastDeadline = true;
            break;
        }
        pollfd ready{pipeEnds[0], POLLIN, 0};
        const int count = poll(&ready, 1, kSliceMs);
        if (count < 0 && errno != EINTR) break;
        if (count <= 0) continue;
        char buffer[16384];
        const ssize_t got = read(pipeEnds[0], buffer, sizeof buffer);
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (got <= 0) {
            complete = got == 0;
            break;
        }
        if (output.size() + static_cast<size_t>(got) > limit) break;
        output.append(buffer, static_cast<size_t>(got));
    }
    close(pipeEnds[0]);
    if (!complete) {
        KillAndReap(pid);
        return false;
    }
    return Reap(pid, abort, killAt) && ParseFetchRecord(output, request, result);
}
