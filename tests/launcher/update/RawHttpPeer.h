#pragma once
// A one-shot HTTP peer on 127.0.0.1 for replies the stand-in service cannot
// make: it answers the first request with a fixed text and hangs up.
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

namespace updatetest {

class RawHttpPeer {
public:
    explicit RawHttpPeer(std::string reply);
    RawHttpPeer(const RawHttpPeer&) = delete;
    RawHttpPeer& operator=(const RawHttpPeer&) = delete;
    ~RawHttpPeer();

    // "http://localhost:PORT"; empty when the peer could not listen.
    std::wstring baseUrl() const;

private:
    void Serve();

    std::string reply_;
    // A SOCKET, kept as its integer type so that this header needs no winsock2.h.
    std::uintptr_t listener_;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace updatetest
