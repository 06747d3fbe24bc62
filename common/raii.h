// Small move-only owners for Win32 handles, shared by every program of the
// system (header only: nothing here is exported by hvCommon.dll).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace hv {

// Generic owner: Traits gives the empty value, the validity test and the close.
template <typename Traits>
class Unique {
public:
    using Handle = typename Traits::Handle;
    Unique() = default;
    explicit Unique(Handle h) : h_(h) {}
    ~Unique() { reset(); }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    Unique(Unique&& o) noexcept : h_(o.release()) {}
    Unique& operator=(Unique&& o) noexcept
    {
        if (this != &o)
            reset(o.release());
        return *this;
    }
    Handle get() const { return h_; }
    explicit operator bool() const { return Traits::Valid(h_); }
    Handle release() { return std::exchange(h_, Traits::Empty()); }
    void reset(Handle h = Traits::Empty())
    {
        if (Traits::Valid(h_))
            Traits::Close(h_);
        h_ = h;
    }
    // For out-parameters of platform calls; releases what was held.
    Handle* put()
    {
        reset();
        return &h_;
    }

private:
    Handle h_ = Traits::Empty();
};

struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() { return nullptr; }
    static bool Valid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { CloseHandle(h); }
};
using UniqueHandle = Unique<KernelHandleTraits>;

struct RegKeyTraits {
    using Handle = HKEY;
    static Handle Empty() { return nullptr; }
    static bool Valid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { RegCloseKey(h); }
};
using RegKey = Unique<RegKeyTraits>;

struct FindTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static bool Valid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(Handle h) { FindClose(h); }
};
using UniqueFind = Unique<FindTraits>;

struct GdiTraits {
    using Handle = HGDIOBJ;
    static Handle Empty() { return nullptr; }
    static bool Valid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DeleteObject(h); }
};
using UniqueGdi = Unique<GdiTraits>;

struct IconTraits {
    using Handle = HICON;
    static Handle Empty() { return nullptr; }
    static bool Valid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DestroyIcon(h); }
};
using UniqueIcon = Unique<IconTraits>;

struct MenuTraits {
    using Handle = HMENU;
    static Handle Empty() { return nullptr; }
    static bool Valid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DestroyMenu(h); }
};
using UniqueMenu = Unique<MenuTraits>;

struct ModuleTraits {
    using Handle = HMODULE;
    static Handle Empty() { return nullptr; }
    static bool Valid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { FreeLibrary(h); }
};
using UniqueModule = Unique<ModuleTraits>;

struct ServiceHandleTraits {
    using Handle = SC_HANDLE;
    static Handle Empty() { return nullptr; }
    static bool Valid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { CloseServiceHandle(h); }
};
// The service control manager or a service opened through it.
using UniqueService = Unique<ServiceHandleTraits>;

struct ImageListTraits {
    using Handle = HIMAGELIST;
    static Handle Empty() { return nullptr; }
    static bool Valid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { ImageList_Destroy(h); }
};
using UniqueImageList = Unique<ImageListTraits>;

struct HeapTraits {
    using Handle = void*;
    static Handle Empty() { return nullptr; }
    static bool Valid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { HeapFree(GetProcessHeap(), 0, h); }
};
// A block of the process heap, such as the strings hvCommon hands out.
using UniqueHeap = Unique<HeapTraits>;

struct LocalTraits {
    using Handle = void*;
    static Handle Empty() { return nullptr; }
    static bool Valid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { LocalFree(h); }
};
// A block the system allocated with LocalAlloc for us (security descriptors,
// converted SIDs, split command lines).
using UniqueLocal = Unique<LocalTraits>;

}  // namespace hv
