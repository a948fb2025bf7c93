#include "lib/wfc/ThreadContext.h"

#include <memory>
#include <new>

namespace lib::wfc {
namespace {

DWORD threadSlot = TLS_OUT_OF_INDEXES;

}  // namespace

ThreadContext* ThreadContext::Current() noexcept {
    if (threadSlot == TLS_OUT_OF_INDEXES) return nullptr;
    return static_cast<ThreadContext*>(::TlsGetValue(threadSlot));
}

void ThreadContext::AllocateSlot() {
    threadSlot = ::TlsAlloc();
    if (threadSlot == TLS_OUT_OF_INDEXES) throw std::bad_alloc();
}

void ThreadContext::FreeSlot() noexcept {
    if (threadSlot == TLS_OUT_OF_INDEXES) return;
    ::TlsFree(threadSlot);
    threadSlot = TLS_OUT_OF_INDEXES;
}

ThreadContext::MessageScope::MessageScope(ThreadContext& context, HWND hwnd, UINT message,
                                          WPARAM wParam, LPARAM lParam) noexcept
    : context_(context), saved_(context.current) {
    context.current = MSG{};
    context.current.hwnd = hwnd;
    context.current.message = message;
    context.current.wParam = wParam;
    context.current.lParam = lParam;
    context.current.time = static_cast<DWORD>(::GetMessageTime());
    DWORD pos = ::GetMessagePos();
    context.current.pt = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
}

ThreadContext::MessageScope::~MessageScope() { context_.current = saved_; }

void AttachThread() {
    if (threadSlot == TLS_OUT_OF_INDEXES || ThreadContext::Current()) return;
    auto context = std::make_unique<ThreadContext>();
    if (::TlsSetValue(threadSlot, context.get())) context.release();
}

void DetachThread() noexcept {
    ThreadContext* context = ThreadContext::Current();
    if (!context) return;
    ::TlsSetValue(threadSlot, nullptr);
    delete context;
}

}  // namespace lib::wfc
