#pragma once
// Owns one reference to a COM interface and releases it with the object.
#include <utility>

namespace lib::wfc {

template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    explicit ComPtr(T* p) noexcept : p_(p) {}
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        Reset(std::exchange(other.p_, nullptr));
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { Reset(); }

    T* Get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    // For functions that hand out a new reference: releases the one held.
    T** Receive() noexcept {
        Reset();
        return &p_;
    }
    void Reset(T* p = nullptr) noexcept {
        if (T* old = std::exchange(p_, p)) old->Release();
    }

private:
    T* p_ = nullptr;
};

}  // namespace lib::wfc
