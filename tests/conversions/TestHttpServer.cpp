#include "TestHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int ListenOnLoopback(int& port)
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    int yes = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(fd, 16);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return fd;
}

std::string ReadHead(int client)
{
    std::string head;
    char buffer[1024];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
        ssize_t n = recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        head.append(buffer, static_cast<size_t>(n));
    }
    return head;
}

void SendAll(int client, const std::string& data)
{
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = send(client, data.data() + done, data.size() - done, MSG_NOSIGNAL);
        if (n <= 0) return;
        done += static_cast<size_t>(n);
    }
}

} // namespace

CTestHttpServer::CTestHttpServer(Mode mode, std::string body) : mode_(mode), body_(std::move(body))
{
    listener_ = ListenOnLoopback(port_);
    thread_ = std::thread(&CTestHttpServer::Serve, this);
}

CTestHttpServer::~CTestHttpServer()
{
    stopping_ = true;
    shutdown(listener_, SHUT_RDWR);
    thread_.join();
    close(listener_);
}

std::string CTestHttpServer::Url(const char* path) const
{
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> CTestHttpServer::Requests() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

void CTestHttpServer::WaitForRequests(size_t count) const
{
    std::unique_lock<std::mutex> lock(mutex_);
    arrived_.wait(lock, [&] { return requests_.size() >= count; });
}

int CTestHttpServer::ClosedPort()
{
    int port = 0;
    int fd = ListenOnLoopback(port);
    close(fd);
    return port;
}

void CTestHttpServer::Serve()
{
    while (!stopping_) {
        pollfd waiting{listener_, POLLIN, 0};
        if (poll(&waiting, 1, 50) <= 0) continue;
        int client = accept(listener_, nullptr, nullptr);
        if (client < 0) continue;
        Answer(client);
        close(client);
    }
}

void CTestHttpServer::Answer(int client)
{
    std::string head = ReadHead(client);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(head);
    }
    arrived_.notify_all();
    if (mode_ == kSilent) {
        // Holds the connection open until the client gives up or the test ends.
        while (!stopping_) {
            pollfd peer{client, POLLIN, 0};
            if (poll(&peer, 1, 50) > 0) {
                char buffer[256];
                if (recv(client, buffer, sizeof buffer, MSG_DONTWAIT) <= 0) return;
            }
        }
        return;
    }
    if (mode_ == kNotModified && head.find("\r\nIf-Modified-Since: ") != std::string::npos) {
        SendAll(client, "HTTP/1.0 304 Not Modified\r\nConnection: close\r\n\r\n");
        return;
    }
    std::string status = mode_ == kNotFound ? "404 Not Found" : "200 OK";
    std::string answer = "HTTP/1.0 " + status + "\r\nContent-Type: text/plain\r\nContent-Length: " +
                       std::to_string(body_.size()) + "\r\nConnection: close\r\n\r\n";
    if (mode_ != kTrickle) {
        SendAll(client, answer + body_);
        return;
    }
    SendAll(client, answer);
    for (size_t i = 0; i < body_.size() && !stopping_; ++i) {
        if (send(client, &body_[i], 1, MSG_NOSIGNAL) <= 0) return;
        pollfd peer{client, POLLIN, 0};
        if (poll(&peer, 1, 10) > 0) return; // the client has hung up
    }
}
