#include "tests/launcher/update/PostedMessages.h"

namespace updatetest {

PostedMessages::PostedMessages()
    : window_(::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {}

PostedMessages::~PostedMessages() {
    if (window_) ::DestroyWindow(window_);
}

bool PostedMessages::WaitFor(UINT message, DWORD milliseconds) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        const std::size_t before = messages_.size();
        Collect();
        for (std::size_t i = before; i < messages_.size(); ++i) {
            if (messages_[i].message == message) return true;
        }
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= milliseconds) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_POSTMESSAGE);
    }
}

void PostedMessages::Collect() {
    MSG msg;
    while (::PeekMessageA(&msg, window_, 0, 0, PM_REMOVE)) messages_.push_back(msg);
}

std::vector<MSG> PostedMessages::Named(UINT message) const {
    std::vector<MSG> named;
    for (const MSG& msg : messages_) {
        if (msg.message == message) named.push_back(msg);
    }
    return named;
}

UINT Registered(const char* name) { return ::RegisterWindowMessageA(name); }

}  // namespace updatetest
