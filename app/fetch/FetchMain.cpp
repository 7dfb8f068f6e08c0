// tallix-fetch: runs one HTTP request for the window program, which then
// never loads libcurl itself. Arguments and output: platform/FetchHelper.h.
#include "platform/AtomicFile.h"
#include "platform/FetchHelper.h"
#include "platform/HttpSession.h"

int main(int argc, char** argv)
{
    FetchRequest request;
    if (!ParseFetchArguments(argc, argv, request)) return 2;
    CHttpSession session;
    FetchResult result;
    result.value = request.probe ? 0 : -1;
    if (session.Open(static_cast<CHttpSession::AccessType>(request.access), request.userAgent.c_str(),
                     request.timeoutMs)) {
        if (request.deadlineLeftMs > 0)
            session.SetDeadline(std::chrono::steady_clock::now() + std::chrono::milliseconds(request.deadlineLeftMs));
        session.SetIfModifiedSince(static_cast<std::time_t>(request.ifModifiedSince));
        if (request.probe)
            result.value = session.Probe(request.url.c_str());
        else
            result.value = session.Fetch(request.url.c_str(), result.body, request.maxBytes, request.reload,
                                         request.truncateToCap, request.anyStatus);
        result.status = session.LastStatus();
        result.timedOut = session.LastTimedOut();
        result.tooLarge = session.LastTooLarge();
        result.notModified = session.LastNotModified();
    }
    return WriteAll(1, FetchRecord(result)) ? 0 : 1;
}
