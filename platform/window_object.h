// The object behind a window: stored at WM_NCCREATE from the creation parameter, read back after.
#pragma once

#include <windows.h>

namespace platform {

// `hwndMember` is the object's own copy of its window handle, filled in at WM_NCCREATE.
template <typename T> T* windowObject(HWND w, UINT msg, LPARAM lp, HWND T::*hwndMember) {
    if (msg == WM_NCCREATE) {
        auto* created = static_cast<T*>(reinterpret_cast<const CREATESTRUCTW*>(lp)->lpCreateParams);
        created->*hwndMember = w;
        ::SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    return reinterpret_cast<T*>(::GetWindowLongPtrW(w, GWLP_USERDATA));
}

} // namespace platform
