// Basic types of the platform layer: integer widths, messages parameters and typed handles.
// Every handle is a small value that indexes one of the layer's own tables; 0 means none.
// A call given 0 or a handle whose object is gone does nothing and reports failure.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = std::uint32_t;
using BOOL = int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using LONG = std::int32_t;
using LONG_PTR = std::intptr_t;
using COLORREF = std::uint32_t;  // 0x00BBGGRR

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF c) { return static_cast<int>(c & 0xFF); }
constexpr int GetGValue(COLORREF c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int GetBValue(COLORREF c) { return static_cast<int>((c >> 16) & 0xFF); }

constexpr WORD LOWORD(std::uintptr_t v) { return static_cast<WORD>(v & 0xFFFF); }
constexpr WORD HIWORD(std::uintptr_t v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
constexpr LPARAM MAKELPARAM(int lo, int hi) {
    return static_cast<LPARAM>(static_cast<DWORD>((lo & 0xFFFF) | ((hi & 0xFFFF) << 16)));
}
constexpr WPARAM MAKEWPARAM(int lo, int hi) {
    return static_cast<WPARAM>(static_cast<DWORD>((lo & 0xFFFF) | ((hi & 0xFFFF) << 16)));
}
// Signed client coordinates packed in an LPARAM, as mouse messages carry them.
constexpr int GET_X_LPARAM(LPARAM v) { return static_cast<std::int16_t>(v & 0xFFFF); }
constexpr int GET_Y_LPARAM(LPARAM v) { return static_cast<std::int16_t>((v >> 16) & 0xFFFF); }

struct POINT {
    std::int32_t x;
    std::int32_t y;
};
struct SIZE {
    std::int32_t cx;
    std::int32_t cy;
};
struct RECT {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;   // exclusive
    std::int32_t bottom;  // exclusive
};

// A typed handle. `Tag` keeps window, pen, device and other handles apart at compile time.
// Comparing with 0 and assigning 0 work as the system's code expects of handle variables.
template <class Tag>
struct Handle {
    std::uint32_t value = 0;

    constexpr Handle() = default;
    constexpr Handle(std::nullptr_t) {}  // NOLINT: lets `h = 0` and `h == 0` read naturally
    static constexpr Handle FromIndex(std::uint32_t v) {
        Handle h;
        h.value = v;
        return h;
    }
    constexpr explicit operator bool() const { return value != 0; }
    friend constexpr bool operator==(Handle a, Handle b) = default;
};

struct WindowTag;
struct MenuTag;
struct InstanceTag;
struct IconTag;
struct CursorTag;
struct DcTag;
struct PenTag;
struct BrushTag;
struct FontTag;
struct BitmapTag;
struct HookTag;
struct KernelObjectTag;
struct WaveInTag;
struct WaveOutTag;
struct MmioTag;

using HWND = Handle<WindowTag>;
using HMENU = Handle<MenuTag>;
using HINSTANCE = Handle<InstanceTag>;
using HICON = Handle<IconTag>;
using HCURSOR = Handle<CursorTag>;
using HDC = Handle<DcTag>;
using HPEN = Handle<PenTag>;
using HBRUSH = Handle<BrushTag>;
using HFONT = Handle<FontTag>;
using HBITMAP = Handle<BitmapTag>;
using HHOOK = Handle<HookTag>;
using HANDLE = Handle<KernelObjectTag>;  // events and threads
using HWAVEIN = Handle<WaveInTag>;
using HWAVEOUT = Handle<WaveOutTag>;
using HMMIO = Handle<MmioTag>;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

}  // namespace platform
