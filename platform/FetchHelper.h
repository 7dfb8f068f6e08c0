#pragma once
// One HTTP request run by the helper program tallix-fetch, so that the window
// process never loads libcurl and the TLS libraries it brings (they would
// stay in memory for the rest of its life). Both sides live here: the request
// as the helper's arguments, and the result record the helper writes to its
// standard output, followed by the body.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

struct FetchRequest {
    bool probe = false; // Probe, else Fetch
    std::string url;
    int access = 1; // CHttpSession::AccessType
    std::string userAgent;
    long timeoutMs = 0;
    long deadlineLeftMs = 0; // 0: no deadline
    long long ifModifiedSince = 0;
    bool reload = false;
    size_t maxBytes = 0;
    bool truncateToCap = false;
    bool anyStatus = false;
};

struct FetchResult {
    long value = 0; // what Probe or Fetch returned
    long status = 0;
    bool timedOut = false;
    bool tooLarge = false;
    bool notModified = false;
    std::string body;
};

// The helper's arguments after the program name, and back. Parsing fails on
// anything but exactly what FetchArguments makes.
std::vector<std::string> FetchArguments(const FetchRequest& request);
bool ParseFetchArguments(int argc, const char* const* argv, FetchRequest& request);

// The helper's whole output: the record, then the body.
std::string FetchRecord(const FetchResult& result);
// Fails on an output that is not one record and its body, on a body longer
// than the request allows, and on values a request of its kind can't give.
bool ParseFetchRecord(const std::string& output, const FetchRequest& request, FetchResult& result);

// Runs the helper at `path` for `request` and waits for its result, giving
// up when `abort` is set or `killAt` has passed (then `pastDeadline`). The
// helper is always ended and reaped before the return. False, with `result`
// untouched, when no record came: the helper is missing, crashed, said
// something else or more than the request allows.
bool RunFetchHelper(const std::string& path, const FetchRequest& request, const std::atomic<bool>& abort,
                    std::chrono::steady_clock::time_point killAt, FetchResult& result, bool& pastDeadline);
