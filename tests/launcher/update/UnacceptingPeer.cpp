#include <winsock2.h>

#include "tests/launcher/update/UnacceptingPeer.h"

namespace updatetest {
namespace {

// Connections that fill the queue of a listener with the least backlog.
constexpr int kFillers = 3;

}  // namespace

UnacceptingPeer::UnacceptingPeer() {
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) return;
    const SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (listener == INVALID_SOCKET) return;
    sockets_.push_back(listener);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof(address);
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(listener, 0) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return;
    for (int i = 0; i < kFillers; ++i) {
        const SOCKET filler = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (filler == INVALID_SOCKET) return;
        sockets_.push_back(filler);
        u_long nonBlocking = 1;
        ::ioctlsocket(filler, FIONBIO, &nonBlocking);
        ::connect(filler, reinterpret_cast<sockaddr*>(&address), length);
    }
    // The fillers' handshakes complete (or are dropped) at once on loopback.
    ::Sleep(100);
    port_ = ntohs(address.sin_port);
}

UnacceptingPeer::~UnacceptingPeer() {
    for (std::uintptr_t socket : sockets_) ::closesocket(static_cast<SOCKET>(socket));
    ::WSACleanup();
}

std::wstring UnacceptingPeer::baseUrl() const {
    return port_ == 0 ? std::wstring() : L"http://127.0.0.1:" + std::to_wstring(port_);
}

}  // namespace updatetest
