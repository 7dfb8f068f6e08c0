#pragma once
// A tiny HTTP/1.0 server on 127.0.0.1 and an ephemeral port for the download
// tests. It answers every request the same way, one connection at a time.
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CTestHttpServer {
public:
    enum Mode {
        kOk,       // 200 with the body
        kNotFound, // 404 with the body
        kSilent,   // reads the request and never answers
        kTrickle,  // 200 with the body, one byte every 10 ms
        kNotModified, // 304 to a request with If-Modified-Since, else 200 with the body
    };

    CTestHttpServer(Mode mode, std::string body);
    ~CTestHttpServer();

    int Port() const { return port_; }
    // http://127.0.0.1:<port><path>
    std::string Url(const char* path = "/currency.ini") const;
    // The request heads received so far.
    std::vector<std::string> Requests() const;
    // Waits until `count` requests have arrived.
    void WaitForRequests(size_t count) const;

    // A port on which nothing listens (connections are refused).
    static int ClosedPort();

private:
    void Serve();
    void Answer(int client);

    Mode mode_;
    std::string body_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    std::vector<std::string> requests_;
    std::thread thread_;
};
