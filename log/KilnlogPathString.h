#pragma once
// Holder of one log destination: the path is stored the first time it is set
// and never changes afterwards.
#include <windows.h>

#include <atomic>

class CKilnlogPathString {
public:
    CKilnlogPathString() noexcept = default;
    CKilnlogPathString(const CKilnlogPathString&) = delete;
    CKilnlogPathString& operator=(const CKilnlogPathString&) = delete;
    virtual ~CKilnlogPathString() = default;

    // Stores `path` unless a path is already stored; a path too long for a
    // file name is not stored.
    void Set(const char* path) noexcept;

    bool IsSet() const noexcept { return set_.load(std::memory_order_acquire) != 0; }

    // The stored path; empty until one is stored.
    const char* Get() const noexcept { return IsSet() ? path_ : ""; }

private:
    std::atomic<int> set_{0};
    char path_[MAX_PATH] = {};
};
