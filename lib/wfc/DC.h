#pragma once
// Owning wrappers of device contexts: a memory DC is deleted, a window's DC
// released, a paint DC ended with the wrapper.
#include <windows.h>

namespace lib::wfc {

class CDC {
public:
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC();

    HDC Handle() const noexcept { return dc_; }

protected:
    CDC() noexcept = default;
    void Set(HDC dc) noexcept { dc_ = dc; }
    // Gives the handle up so that the base destructor leaves it alone.
    HDC Surrender() noexcept;

private:
    HDC dc_ = nullptr;
};

// A memory DC compatible with `compatible` (null: the screen); failure
// throws lib::wfc::bad_alloc.
class CMemDC : public CDC {
public:
    explicit CMemDC(HDC compatible = nullptr);
};

// The client-area DC of a window; failure throws lib::wfc::bad_alloc.
class CClientDC : public CDC {
public:
    explicit CClientDC(HWND window);
    ~CClientDC() override;

private:
    HWND window_;
};

// BeginPaint and EndPaint around the object's life; failure throws std::bad_alloc.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(HWND window);
    ~CPaintDC() override;

    const PAINTSTRUCT& PaintStruct() const noexcept { return paint_; }
    const RECT& PaintRect() const noexcept { return paint_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
};

}  // namespace lib::wfc
