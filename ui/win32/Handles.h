#pragma once
// One move-only owner per Win32 handle kind, so no handle is released by hand.
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <type_traits>

namespace kestova {

template <class H, auto Free>
struct THandleDeleter {
    using pointer = H;
    void operator()(H handle) const {
        if (handle) Free(handle);
    }
};

template <class H, auto Free>
using TUniqueHandle = std::unique_ptr<std::remove_pointer_t<H>, THandleDeleter<H, Free>>;

using TWindow = TUniqueHandle<HWND, &DestroyWindow>;
using TFontHandle = TUniqueHandle<HFONT, &DeleteObject>;
using TBitmapHandle = TUniqueHandle<HBITMAP, &DeleteObject>;
using TImageListHandle = TUniqueHandle<HIMAGELIST, &ImageList_Destroy>;
using TMenu = TUniqueHandle<HMENU, &DestroyMenu>;
using TIcon = TUniqueHandle<HICON, &DestroyIcon>;

}  // namespace kestova
