#include <winsock2.h>

#include "tests/launcher/update/RawHttpPeer.h"

#include <utility>

namespace updatetest {
namespace {

// Each socket wait, and the peer's whole life.
constexpr long kPollMicroseconds = 100000;
constexpr int kMaxPolls = 100;

bool Readable(SOCKET socket) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket, &set);
    timeval wait{0, kPollMicroseconds};
    return ::select(0, &set, nullptr, nullptr, &wait) == 1;
}

}  // namespace

RawHttpPeer::RawHttpPeer(std::string reply) : reply_(std::move(reply)), listener_(INVALID_SOCKET) {
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) return;
    const SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    listener_ = listener;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof(address);
    if (listener == INVALID_SOCKET || ::bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener, 1) != 0 || ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return;
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

RawHttpPeer::~RawHttpPeer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (listener_ != INVALID_SOCKET) ::closesocket(listener_);
    ::WSACleanup();
}

std::wstring RawHttpPeer::baseUrl() const {
    return port_ == 0 ? std::wstring() : L"http://localhost:" + std::to_wstring(port_);
}

// Bounded by kMaxPolls waits, so that joining it always ends.
void RawHttpPeer::Serve() {
    int polls = 0;
    const SOCKET listener = listener_;
    while (!stop_ && polls++ < kMaxPolls && !Readable(listener)) {
    }
    if (stop_ || polls > kMaxPolls) return;
    const SOCKET client = ::accept(listener, nullptr, nullptr);
    if (client == INVALID_SOCKET) return;
    std::string request;
    char buffer[4096];
    while (!stop_ && polls++ < kMaxPolls && request.find("\r\n\r\n") == std::string::npos) {
        if (!Readable(client)) continue;
        const int got = ::recv(client, buffer, sizeof(buffer), 0);
        if (got <= 0) break;
        request.append(buffer, static_cast<std::size_t>(got));
    }
    ::send(client, reply_.data(), static_cast<int>(reply_.size()), 0);
    ::shutdown(client, SD_SEND);
    ::closesocket(client);
}

}  // namespace updatetest
