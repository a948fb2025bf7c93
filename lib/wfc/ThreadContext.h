#pragma once
// Per-thread dispatch state of the framework, kept in a thread-local slot:
// the message the thread's window procedure is handling right now, which is
// what DefaultProc passes on.
#include <windows.h>

namespace lib::wfc {

struct ThreadContext {
    MSG current{};

    // This thread's context; null when the thread is not attached.
    static ThreadContext* Current() noexcept;

    // The slot is made by Initialize (failure throws std::bad_alloc) and freed by Terminate.
    static void AllocateSlot();
    static void FreeSlot() noexcept;

    // Makes `message` the current one for the scope's lifetime; the one it
    // replaces comes back afterwards, so nested dispatch never disturbs the outer message.
    class MessageScope {
    public:
        MessageScope(ThreadContext& context, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
        MessageScope(const MessageScope&) = delete;
        MessageScope& operator=(const MessageScope&) = delete;
        ~MessageScope();

    private:
        ThreadContext& context_;
        MSG saved_;
    };
};

// Each thread that runs framework windows attaches before its first window
// and detaches after its last one. Attaching twice keeps the first context;
// before Initialize there is no slot and attaching does nothing.
void AttachThread();
void DetachThread() noexcept;

}  // namespace lib::wfc
