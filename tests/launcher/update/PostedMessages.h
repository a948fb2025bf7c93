#pragma once
// A message-only window on the test thread that collects what workers post to it.
#include <windows.h>

#include <vector>

namespace updatetest {

class PostedMessages {
public:
    PostedMessages();
    PostedMessages(const PostedMessages&) = delete;
    PostedMessages& operator=(const PostedMessages&) = delete;
    ~PostedMessages();

    HWND window() const { return window_; }

    // Collects until `message` arrives; false when it did not within the bound.
    bool WaitFor(UINT message, DWORD milliseconds);
    // Collects what is already queued.
    void Collect();

    // The collected messages named `message`, in order of arrival.
    std::vector<MSG> Named(UINT message) const;

private:
    HWND window_;
    std::vector<MSG> messages_;
};

// Id of a registered message.
UINT Registered(const char* name);

}  // namespace updatetest
