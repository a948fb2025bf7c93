#pragma once
// Owning wrappers of GDI object handles: the handle is deleted with the
// wrapper, and attaching a new handle deletes the one held before.
#include <windows.h>

namespace lib::wfc {

namespace gdi {

template <typename H>
struct GDIObjectDestroyer {
    void operator()(H handle) const noexcept { ::DeleteObject(handle); }
};

}  // namespace gdi

template <typename H, typename Destroyer>
class CHandle {
public:
    CHandle() noexcept = default;
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;
    virtual ~CHandle() { Destroy(); }

    // Takes ownership of `handle`; a different handle held before is deleted.
    virtual void Attach(H handle) {
        if (handle != handle_) Destroy();
        handle_ = handle;
    }

    H Handle() const noexcept { return handle_; }

protected:
    void Destroy() noexcept {
        if (handle_) Destroyer()(handle_);
        handle_ = nullptr;
    }

private:
    H handle_ = nullptr;
};

template <typename H>
class CGDIObject : public CHandle<H, gdi::GDIObjectDestroyer<H>> {};

}  // namespace lib::wfc
