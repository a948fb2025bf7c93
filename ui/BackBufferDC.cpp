#include "ui/BackBufferDC.h"

namespace ui {
namespace {

// The innermost scope of this thread; scopes nest when a compose starts another.
thread_local CBackBufferDCScope* activeScope = nullptr;

HDC LentOrOwn(const lib::wfc::CDIB& buffer, std::optional<lib::wfc::CMemDC>& own) {
    if (const HDC lent = CBackBufferDCScope::DCFor(buffer)) return lent;
    own.emplace();
    return own->Handle();
}

}  // namespace

CBackBufferDCScope::CBackBufferDCScope(const lib::wfc::CDIB& buffer)
    : buffer_(buffer), bitmap_(buffer.Handle()), outer_(activeScope) {
    activeScope = this;
}

CBackBufferDCScope::~CBackBufferDCScope() { activeScope = outer_; }

HDC CBackBufferDCScope::Lend() {
    if (!dc_) {
        dc_.emplace();
        try {
            state_.emplace(dc_->Handle());
            state_->SelectObject(lib::wfc::DCStateSaver::kBitmapSlot, bitmap_);
        } catch (...) {
            state_.reset();
            dc_.reset();
            throw;
        }
    }
    return dc_->Handle();
}

HDC CBackBufferDCScope::DCFor(const lib::wfc::CDIB& buffer) {
    for (CBackBufferDCScope* scope = activeScope; scope; scope = scope->outer_) {
        // A buffer made anew since the scope began is another bitmap.
        if (&scope->buffer_ == &buffer && scope->bitmap_ == buffer.Handle() && buffer.Handle()) return scope->Lend();
    }
    return nullptr;
}

CBackBufferDC::CBackBufferDC(const lib::wfc::CDIB& buffer) : dc_(LentOrOwn(buffer, own_)), state_(dc_) {
    if (own_) state_.SelectObject(lib::wfc::DCStateSaver::kBitmapSlot, buffer.Handle());
    const RECT& clip = buffer.ClipRect();
    // A lent DC comes without a clip: each use sets its own and drops it again.
    ::IntersectClipRect(dc_, clip.left, clip.top, clip.right, clip.bottom);
}

CBackBufferDC::~CBackBufferDC() {
    // The buffer's own operations write its pixels directly: what GDI drew must be there first.
    ::GdiFlush();
    if (!own_) ::SelectClipRgn(dc_, nullptr);
}

}  // namespace ui
