#include "platform/CurlLibrary.h"
#include "platform/HttpSession.h"
#include "tests/conversions/TestHttpServer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <future>
#include <sys/wait.h>

namespace {

using Clock = std::chrono::steady_clock;
constexpr long kShortTimeoutMs = 1000; // short, yet long enough for a busy machine
const char kAgent[] = "Tallix/test";

struct Outcome {
    long value = 0;
    std::string body;
    long status = 0;
    bool timedOut = false, tooLarge = false, notModified = false;
};

struct Row {
    const char* what;
    CTestHttpServer::Mode mode;
    std::string body;
    bool probe;
    size_t maxBytes;
    bool truncateToCap;
    bool anyStatus;
    bool ifModifiedSince;
    long deadlineMs; // 0: none; below 0: passed already
    long value;      // what the request returns
};

Outcome Request(const Row& row, const std::string& url)
{
    CHttpSession session;
    Outcome outcome;
    outcome.value = -2;
    if (!session.Open(CHttpSession::kAccessPreconfigured, kAgent, kShortTimeoutMs)) return outcome;
    if (row.deadlineMs) session.SetDeadline(Clock::now() + std::chrono::milliseconds(row.deadlineMs));
    session.SetIfModifiedSince(row.ifModifiedSince ? 1700000000 : 0);
    outcome.value = row.probe ? session.Probe(url.c_str())
                              : session.Fetch(url.c_str(), outcome.body, row.maxBytes, true, row.truncateToCap,
                                              row.anyStatus);
    outcome.status = session.LastStatus();
    outcome.timedOut = session.LastTimedOut();
    outcome.tooLarge = session.LastTooLarge();
    outcome.notModified = session.LastNotModified();
    return outcome;
}

// No child of the test process is left, running or unreaped.
bool NoChildLeft() { return waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD; }

class FetchHelper : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY", "no_proxy", "NO_PROXY"})
            unsetenv(name);
    }
    void TearDown() override { CHttpSession::UseFetchHelper(""); }
};

TEST_F(FetchHelper, GivesWhatTheRequestGivesInProcess)
{
    const std::string rates = "[Conversions]\r\nUSD=1\r\n";
    const long size = static_cast<long>(rates.size());
    const std::string trickled(400, 'x'); // four seconds of bytes
    const Row rows[] = {
        {"2xx body", CTestHttpServer::kOk, rates, false, 1000, false, false, false, 0, size},
        {"2xx probe", CTestHttpServer::kOk, rates, true, 0, false, false, false, 0, 1},
        {"404", CTestHttpServer::kNotFound, rates, false, 1000, false, false, false, 0, -1},
        {"404, any status", CTestHttpServer::kNotFound, rates, false, 1000, false, true, false, 0, size},
        {"404 probe", CTestHttpServer::kNotFound, rates, true, 0, false, false, false, 0, 1},
        {"over the cap", CTestHttpServer::kOk, rates, false, 10, false, false, false, 0, -1},
        {"over the cap, truncated", CTestHttpServer::kOk, rates, false, 10, true, false, false, 0, 10},
        {"not modified", CTestHttpServer::kNotModified, rates, false, 1000, false, false, true, 0, -1},
        {"unconditional", CTestHttpServer::kNotModified, rates, false, 1000, false, false, false, 0, size},
        {"not modified probe", CTestHttpServer::kNotModified, rates, true, 0, false, false, true, 0, 1},
        {"no answer", CTestHttpServer::kSilent, "", false, 1000, false, false, false, 0, -1},
        {"deadline", CTestHttpServer::kTrickle, trickled, false, 1000, false, false, false, kShortTimeoutMs, -1},
        {"deadline passed", CTestHttpServer::kOk, rates, true, 0, false, false, false, -1, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        CTestHttpServer server(row.mode, row.body);
        CHttpSession::UseFetchHelper("");
        const Outcome local = Request(row, server.Url());
        CHttpSession::UseFetchHelper(TALLIX_FETCH_HELPER);
        const Outcome helped = Request(row, server.Url());
        EXPECT_EQ(local.value, row.value);
        EXPECT_EQ(helped.value, local.value);
        EXPECT_EQ(helped.body, local.body);
        EXPECT_EQ(helped.status, local.status);
        EXPECT_EQ(helped.timedOut, local.timedOut);
        EXPECT_EQ(helped.tooLarge, local.tooLarge);
        EXPECT_EQ(helped.notModified, local.notModified);
        // The same request went out: agent, reload and condition included.
        const std::vector<std::string> heads = server.Requests();
        ASSERT_EQ(heads.size(), row.deadlineMs < 0 ? 0u : 2u);
        if (!heads.empty()) {
            EXPECT_EQ(heads[1], heads[0]);
        }
    }
    EXPECT_TRUE(NoChildLeft());
}

TEST_F(FetchHelper, AbortEndsTheHelperAtOnce)
{
    CTestHttpServer silent(CTestHttpServer::kSilent, "");
    CHttpSession::UseFetchHelper(TALLIX_FETCH_HELPER);
    CHttpSession session;
    ASSERT_EQ(session.Open(CHttpSession::kAccessPreconfigured, kAgent), 1); // waits 10 s for an answer
    std::string body;
    auto fetched = std::async(std::launch::async, [&] { return session.Fetch(silent.Url().c_str(), body, 1000, false); });
    silent.WaitForRequests(1);
    session.Abort();
    ASSERT_EQ(fetched.wait_for(std::chrono::milliseconds(kShortTimeoutMs)), std::future_status::ready);
    EXPECT_EQ(fetched.get(), -1);
    EXPECT_EQ(session.LastStatus(), 0);
    EXPECT_TRUE(NoChildLeft());
}

// Whatever goes wrong with the helper, the request fails without a status.
TEST_F(FetchHelper, AHelperThatFailsIsAFailedRequest)
{
    CTestHttpServer server(CTestHttpServer::kOk, "rates");
    const char* helpers[] = {
        "/nonexistent/tallix-fetch", // missing
        "/usr/bin/true",             // says nothing
        "/usr/bin/echo",             // says something else
        "/usr/bin/yes",              // says more than any answer may be
        "/usr/bin/false",            // fails
    };
    for (const char* helper : helpers) {
        SCOPED_TRACE(helper);
        CHttpSession::UseFetchHelper(helper);
        CHttpSession session;
        ASSERT_EQ(session.Open(CHttpSession::kAccessPreconfigured, kAgent, kShortTimeoutMs), 1);
        std::string body = "old";
        EXPECT_EQ(session.Fetch(server.Url().c_str(), body, 1000, false), -1);
        EXPECT_EQ(body, "");
        EXPECT_EQ(session.LastStatus(), 0);
        EXPECT_EQ(session.Probe(server.Url().c_str()), 0);
        EXPECT_TRUE(NoChildLeft());
    }
    EXPECT_TRUE(server.Requests().empty());
}

TEST_F(FetchHelper, ANamedProxyIsStillRequiredToOpen)
{
    CHttpSession::UseFetchHelper(TALLIX_FETCH_HELPER);
    CHttpSession session;
    EXPECT_EQ(session.Open(CHttpSession::kAccessProxy, kAgent), 0);
    EXPECT_FALSE(session.IsOpen());
}

// Run in a fresh process: the other tests load libcurl for their in-process
// requests.
TEST(FetchHelperDeathTest, TheCallingProcessNeverLoadsLibcurl)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto fetchThroughTheHelper = [] {
        bool fetched = false;
        {
            CTestHttpServer server(CTestHttpServer::kOk, "rates");
            CHttpSession::UseFetchHelper(TALLIX_FETCH_HELPER);
            CHttpSession session;
            std::string body;
            fetched = session.Open(CHttpSession::kAccessPreconfigured, kAgent) &&
                      session.Probe(server.Url().c_str()) == 1 &&
                      session.Fetch(server.Url().c_str(), body, 1000, false) == 5 && body == "rates";
        }
        std::exit(!fetched ? 1 : CurlLoaded() ? 2 : 0);
    };
    EXPECT_EXIT(fetchThroughTheHelper(), ::testing::ExitedWithCode(0), "");
}

} // namespace
