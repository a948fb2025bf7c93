#pragma once
// A port on 127.0.0.1 whose listen queue is kept full, so that a connection
// to it is never accepted: the client's connect waits until its timeout.
#include <cstdint>
#include <string>
#include <vector>

namespace updatetest {

class UnacceptingPeer {
public:
    UnacceptingPeer();
    UnacceptingPeer(const UnacceptingPeer&) = delete;
    UnacceptingPeer& operator=(const UnacceptingPeer&) = delete;
    ~UnacceptingPeer();

    // "http://127.0.0.1:PORT"; empty when the peer could not listen.
    std::wstring baseUrl() const;

private:
    // SOCKETs, kept as their integer type so that this header needs no winsock2.h.
    std::vector<std::uintptr_t> sockets_;
    int port_ = 0;
};

}  // namespace updatetest
