// The clipboard, for window images.
#include "platform/gdi/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "platform/gdi/Globals.h"

namespace platform {

using namespace gdi;

namespace {
bool clipboard_open = false;
}  // namespace

BOOL OpenClipboard(HWND) {
    if (clipboard_open || !QGuiApplication::clipboard()) return FALSE;
    clipboard_open = true;
    return TRUE;
}

BOOL EmptyClipboard() {
    if (!clipboard_open) return FALSE;
    QGuiApplication::clipboard()->clear();
    return TRUE;
}

HBITMAP SetClipboardData(UINT format, HBITMAP bitmap) {
    BitmapObject* b = FindBitmap(bitmap);
    if (!clipboard_open || format != CF_BITMAP || !b || b->selected_in > 0 ||
        bitmap.value < kFirstHandle) {
        return {};
    }
    QGuiApplication::clipboard()->setImage(b->image);
    Globals().bitmaps.erase(bitmap.value);  // the clipboard owns it now
    return bitmap;
}

BOOL CloseClipboard() {
    if (!clipboard_open) return FALSE;
    clipboard_open = false;
    return TRUE;
}

HBITMAP GetClipboardBitmap() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return {};
    const QImage image = clipboard->image();
    if (image.isNull()) return {};
    const std::uint32_t h = NewHandle();
    Globals().bitmaps[h] = {image.convertToFormat(QImage::Format_RGB32), 0};
    return HBITMAP::FromIndex(h);
}

}  // namespace platform
