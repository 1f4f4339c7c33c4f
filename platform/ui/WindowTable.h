// The layer's window table: one record per window, found by handle. A handle names a slot and
// the slot's generation: slots are used again, handles never, so a stale handle finds no record.
// Private to platform/ui.
#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "platform/Types.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Resources.h"
#include "platform/ui/Window.h"

class QDialog;

namespace platform::ui {

enum class Kind {
    Frame,      // QMainWindow with a menu bar; its client is the MDI client
    MdiClient,  // QMdiArea
    MdiChild,   // QMdiSubWindow around a canvas
    Canvas,     // plain window (top-level or child) or dialog: a canvas with a backing image
    PushButton,
    OwnerDrawButton,
    CheckBox,
    RadioButton,
    GroupBox,
    StaticText,
    StaticCanvas,
    Edit,
    ListBox,
    ComboBox,
    ScrollBar,
    TabControl,
};

struct WindowClass {
    std::string name;
    WNDPROC proc = nullptr;
    HBRUSH background{};
    HCURSOR cursor{};
    UINT style = 0;
    int wnd_extra = 0;
};

struct ScrollState {
    int min = 0;
    int max = 100;
    int pos = 0;
    bool shown = false;
};

struct Window {
    HWND self{};
    std::uint64_t serial = 0;    // creation number: the order of AllWindows
    std::vector<HWND> children;  // child windows in creation order
    Kind kind = Kind::Canvas;
    const WindowClass* cls = nullptr;  // registered class (0 for controls and layer windows)
    WNDPROC proc = nullptr;
    HWND parent{};  // child windows: the parent; top-level: 0
    HWND owner{};   // top-level windows: the owner
    DWORD style = 0;
    DWORD ex_style = 0;
    int id = 0;
    HMENU menu{};  // top-level: the menu bar
    std::string text;
    RECT rect{};    // outer rectangle (children: parent client coordinates; top-level: screen)
    RECT insets{};  // decorations between outer and client rectangle (left, top, right, bottom)
    RECT inner{};   // the part of `insets` drawn inside `widget` (client edge, window bars)
    bool visible = false;
    bool enabled = true;
    bool destroying = false;
    // The frame draws its caption and borders itself until a window manager frames it (without
    // one the screen would show nothing there).
    bool own_decorations = false;

    // Backing image (client size) for canvases and custom-drawn controls.
    std::unique_ptr<QImage> image;
    std::unique_ptr<QImage> grab;  // what a window without a backing image shows (frame)
    QPointer<QWidget> outer;       // the widget that carries the outer rectangle
    QPointer<QWidget> widget;      // the widget showing the client area / the control

    // Painting.
    bool invalid = false;
    bool erase = false;
    RECT invalid_rect{};
    RECT paint_rect{};     // the region BeginPaint took (for WM_ERASEBKGND)
    bool painted = false;  // BeginPaint ran during the current WM_PAINT

    std::vector<std::uint8_t> extra;  // class extra bytes
    LONG_PTR user_data = 0;

    // Dialogs.
    bool is_dialog = false;
    DLGPROC dlgproc = nullptr;
    bool modal = false;
    bool ended = false;
    INT_PTR result = 0;
    std::string template_name;
    SIZE base_units{0, 0};  // pixels per 4 horizontal and per 8 vertical dialog units

    // The font set by WM_SETFONT (dialogs and their controls draw with it).
    HFONT font{};

    // Controls.
    int check = 0;
    int text_limit = 0;
    std::vector<std::string> items;  // list box, drop-down list, tab control
    int cur_sel = -1;
    int caret = 0;
    ScrollState scroll;   // scroll-bar control
    ScrollState hscroll;  // window bars
    ScrollState vscroll;
    bool pressed = false;  // owner-drawn button

    // MDI.
    HWND mdi_client{};               // frame: its MDI client
    HMENU window_menu{};             // MDI client: the menu the window list goes into
    UINT first_child_id = 0;         // MDI client: identifier of the first list item
    std::vector<HWND> mdi_children;  // MDI client: in creation order
    HWND active_child{};
};

// The record of a live window, or nullptr for 0 or a destroyed one.
Window* Find(HWND hwnd);
Window* FindDialogOf(HWND hwnd);  // the window if it is a dialog, else nullptr
// Every live window, in creation order.
std::vector<HWND> AllWindows();
std::vector<HWND> Children(HWND parent);  // direct children, in creation order
// How many slots the table holds: the most windows that were alive at one time (for tests).
std::size_t WindowSlotCount();
HWND TopLevelOf(HWND hwnd);

// The HWND a widget shows (walking up parents); 0 when none.
HWND HwndOfWidget(const QWidget* widget);
void BindWidget(QWidget* widget, HWND hwnd);

// The rectangle of a window at (x, y) of the given size, within kMaxWindowExtent and
// kMaxWindowCoordinate (Window.h).
RECT BoundedWindowRect(int x, int y, int width, int height);

// Client size and the geometry changes coming from Qt (a person moved or sized a window).
int ClientWidth(const Window& w);
int ClientHeight(const Window& w);
void OnQtGeometry(HWND hwnd);
// After a top-level window is shown: watches for a window manager's frame around it for a short
// while and, once it is there, fits the window with that frame into its outer rectangle.
void WatchDecorations(HWND hwnd);
void OnQtClose(HWND hwnd);
// Brings the Qt widgets in line with the record (after the layer changed the record).
void ApplyGeometry(Window& w);
// Resizes the backing image to the client size, keeping what it shows; fills new parts with the
// class background.
void ResizeImage(Window& w);
COLORREF BackgroundColour(const Window& w);

// Controls (Controls.cpp).
WNDPROC ControlProc(Kind kind);
QWidget* CreateControlWidget(Window& w, QWidget* parent_widget);
void PaintLayerControl(Window& w);  // statics and owner-drawn buttons
bool IsLayerPainted(const Window& w);
void DeliverKey(Window& w, UINT message, WPARAM wParam, LPARAM lParam);
void Notify(HWND control, UINT code);  // WM_COMMAND to the parent
void WindowBarChanged(Window& w, int bar);
void CreateWindowBars(Window& w);
ScrollState* ScrollStateOf(Window& w, int bar);  // SB_HORZ, SB_VERT or SB_CTL
void PlaceWindowBars(Window& w);
// Dialog creation hands its procedure to the window being created.
void SetPendingDialog(DLGPROC proc, const std::string& template_name, bool modal);
// Disposes of records destroyed during the last message (UI thread, between messages).
void CollectGarbage();
QWidget* LastMouseWidget();
void StoreText(HWND hwnd, const char* text);
LRESULT CopyText(const std::string& text, WPARAM size, LPARAM buffer);

// The keyboard (Metrics.cpp). A window that has just opened modally (a dialog, box or chooser)
// takes the keyboard, with or without a window manager; what had it before gets it back when
// that window closes.
void TakeKeyboard(QWidget* window);
QPointer<QWidget> KeyboardHolder();
void GiveKeyboardBack(const QPointer<QWidget>& holder);
// Shows a Qt dialog (box, chooser) modal to the whole program and gives it the keyboard.
void ShowModal(QDialog* dialog);

// MDI (Mdi.cpp).
QWidget* CreateMdiChildWidgets(Window& w, Window& client);
void MdiChildGone(HWND client, HWND child);
std::vector<HWND> LiveChildren(Window& client);  // MDI children alive, in creation order
// Marks the client's window list for a rebuild, done by FlushWindowLists: when the menu is read
// or built on screen, or when the loop runs again.
void RebuildWindowList(HWND client);
void FlushWindowLists();
LRESULT MdiClientProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Menus (Menu.cpp).
void AttachMenuBar(HWND frame);
// Replaces the MDI window list at the end of `menu` by one item per title (identifiers from
// `first_id`), after a separator; `active` is checked.
void SetWindowList(HMENU menu, UINT first_id, const std::vector<std::string>& titles, int active);
// Rebuilds now the menu bars whose window lists changed since the loop last ran.
void FlushMenuBars();
void ResetMenus();
// How many times a menu bar was built on screen since ResetMenus, and an MDI window list since
// the process started (the builds are deferred and merged; these count what was done).
int MenuBarBuildCount();
int WindowListBuildCount();

// Modal dialogs (Dialog.cpp).
HWND CurrentModalDialog();  // the innermost modal dialog running, or 0
// Counts a modal loop (dialog, box or chooser) for ModalLoopRunning while it lives.
class ModalLoopScope {
  public:
    ModalLoopScope();
    ~ModalLoopScope();
    ModalLoopScope(const ModalLoopScope&) = delete;
    ModalLoopScope& operator=(const ModalLoopScope&) = delete;
};
LRESULT DialogWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Loop (MessageLoop.cpp).
bool CallMessageFilter(MSG* msg, int code);
void ForgetWindowTimers(HWND hwnd);
// The key event the layer is handing back to a widget now: the key filter lets exactly these
// through (keys arriving while a nested loop runs under that delivery are filtered as usual).
void BeginRedelivery(const QEvent* event);
void EndRedelivery();
void EnsureLoopInstalled();
int& SendDepth();  // procedures running now (garbage is collected only at depth 0)
int QtKeyOf(WPARAM vk);
// The Qt key and modifiers (Qt::KeyboardModifiers bits) a person's key message carries.
LPARAM KeyLParam(int qt_key, int modifiers);
int ModifiersOfKey(LPARAM lParam);
int QtKeyOfMessage(WPARAM vk, LPARAM lParam);
bool TakeQuit(MSG* msg, bool remove);
void ClearQuit();
void ResetHooks();
// Timers (Timer.cpp): the earliest due time of any timer (-1 when none), and the reset.
std::int64_t NextDueMs();
void ResetTimers();

// Latin-1 both ways.
QString ToQt(const std::string& s);
QString ToQt(const char* s);
std::string FromQt(const QString& s);

// Process-wide state of platform/ui, for tests: destroys every window, class, menu, timer and
// hook and empties the queue.
void ResetUi();
// At the end of the program: deletes every window's widgets without calling any procedure (the
// system's code has finished).
void DiscardAll();

}  // namespace platform::ui
