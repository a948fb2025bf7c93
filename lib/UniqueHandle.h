#pragma once
// Owning wrappers for Win32 handles: one small type per handle kind, copying
// deleted, released in the destructor.
#include <windows.h>

#include <utility>

namespace lib {

template <typename Traits>
class UniqueHandle {
public:
    using handle_type = typename Traits::handle_type;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(handle_type handle) noexcept : handle_(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    handle_type get() const noexcept { return handle_; }
    bool valid() const noexcept { return handle_ != Traits::invalid(); }
    explicit operator bool() const noexcept { return valid(); }

    handle_type release() noexcept { return std::exchange(handle_, Traits::invalid()); }
    void reset(handle_type handle = Traits::invalid()) noexcept {
        handle_type old = std::exchange(handle_, handle);
        if (old != Traits::invalid()) Traits::close(old);
    }

private:
    handle_type handle_ = Traits::invalid();
};

// Kernel objects whose "no handle" value is null: mutexes, events, threads, processes.
struct KernelHandleTraits {
    using handle_type = HANDLE;
    static handle_type invalid() noexcept { return nullptr; }
    static void close(handle_type h) noexcept { ::CloseHandle(h); }
};

// CreateFile results, whose "no handle" value is INVALID_HANDLE_VALUE.
struct FileHandleTraits {
    using handle_type = HANDLE;
    static handle_type invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(handle_type h) noexcept { ::CloseHandle(h); }
};

struct FindHandleTraits {
    using handle_type = HANDLE;
    static handle_type invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(handle_type h) noexcept { ::FindClose(h); }
};

struct LibraryHandleTraits {
    using handle_type = HMODULE;
    static handle_type invalid() noexcept { return nullptr; }
    static void close(handle_type h) noexcept { ::FreeLibrary(h); }
};

// Menus that belong to no window and to no other menu.
struct MenuHandleTraits {
    using handle_type = HMENU;
    static handle_type invalid() noexcept { return nullptr; }
    static void close(handle_type h) noexcept { ::DestroyMenu(h); }
};

// Regions not (yet) given to a window: SetWindowRgn makes the window their owner.
struct RegionHandleTraits {
    using handle_type = HRGN;
    static handle_type invalid() noexcept { return nullptr; }
    static void close(handle_type h) noexcept { ::DeleteObject(h); }
};

// Open registry keys (not the predefined roots, which are never closed here).
struct RegistryKeyTraits {
    using handle_type = HKEY;
    static handle_type invalid() noexcept { return nullptr; }
    static void close(handle_type h) noexcept { ::RegCloseKey(h); }
};

// Windows made for the holder on its own thread, destroyed with it there (a
// window that is gone already makes DestroyWindow fail harmlessly).
struct WindowHandleTraits {
    using handle_type = HWND;
    static handle_type invalid() noexcept { return nullptr; }
    static void close(handle_type h) noexcept { ::DestroyWindow(h); }
};

using KernelHandle = UniqueHandle<KernelHandleTraits>;
using FileHandle = UniqueHandle<FileHandleTraits>;
using FindHandle = UniqueHandle<FindHandleTraits>;
using LibraryHandle = UniqueHandle<LibraryHandleTraits>;
using MenuHandle = UniqueHandle<MenuHandleTraits>;
using RegionHandle = UniqueHandle<RegionHandleTraits>;
using RegistryKey = UniqueHandle<RegistryKeyTraits>;
using WindowHandle = UniqueHandle<WindowHandleTraits>;

}  // namespace lib
