// The MDI client, its children and the window list; the default frame and MDI child procedures.

#include <QCoreApplication>
#include <QIcon>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QTimer>
#include <algorithm>

#include "platform/ui/Widgets.h"
#include "platform/ui/WindowTable.h"

namespace platform::ui {
namespace {

bool activating = false;  // the layer is activating a child: ignore Qt's echo

// Makes `child` the active child of `client`, telling the old and the new one.
void Activate(HWND client, HWND child) {
    Window* c = Find(client);
    Window* w = Find(child);
    if (!c || !w || w->parent != client) return;
    const HWND old = Find(c->active_child) ? c->active_child : HWND{};
    c->active_child = child;
    if (auto* area = qobject_cast<QMdiArea*>(c->widget.data())) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w->outer.data())) {
            activating = true;
            area->setActiveSubWindow(sub);
            sub->raise();
            activating = false;
        }
    }
    if (old == child) return;
    const auto from = static_cast<LPARAM>(old.value);
    const auto to = static_cast<LPARAM>(child.value);
    if (old) SendMessage(old, WM_MDIACTIVATE, static_cast<WPARAM>(from), to);
    if (Find(child)) SendMessage(child, WM_MDIACTIVATE, static_cast<WPARAM>(from), to);
    RebuildWindowList(client);
}

}  // namespace

QWidget* CreateMdiChildWidgets(Window& w, Window& client) {
    auto* area = qobject_cast<QMdiArea*>(client.widget.data());
    auto* sub = new MdiSubWidget(w.self);
    auto* canvas = new CanvasWidget(w.self, nullptr);
    sub->setWidget(canvas);
    sub->setWindowTitle(ToQt(w.text));
    // Every child shows the one caption icon its style gives: without an icon of its own each
    // child would make that icon afresh, and its scaled copies would fill the pixmap cache.
    static const QIcon* caption_icon =
        new QIcon(sub->style()->standardIcon(QStyle::SP_TitleBarMenuButton, nullptr, sub));
    sub->setWindowIcon(*caption_icon);
    if (area) area->addSubWindow(sub);
    sub->hide();
    w.outer = sub;
    w.widget = canvas;
    CreateWindowBars(w);
    client.mdi_children.push_back(w.self);
    return canvas;
}

void MdiChildGone(HWND client, HWND child) {
    Window* c = Find(client);
    if (!c) return;
    std::erase(c->mdi_children, child);
    if (c->active_child == child) {
        c->active_child = HWND{};
        if (!c->mdi_children.empty()) Activate(client, c->mdi_children.back());
    }
    RebuildWindowList(client);
}

namespace {

// Clients whose window list changed since it was last built: a title set for every step of a
// long computation only marks the list, which is built when the menu is read or shown (or when
// the loop runs again), so a burst of changes costs one build.
std::vector<HWND> stale_lists;
int list_builds = 0;

void BuildWindowList(HWND client) {
    Window* c = Find(client);
    if (!c || !c->window_menu) return;
    ++list_builds;
    std::vector<std::string> titles;
    int active = -1;
    for (HWND h : c->mdi_children) {
        Window* w = Find(h);
        if (!w || w->destroying) continue;
        if (h == c->active_child) active = static_cast<int>(titles.size());
        titles.push_back(w->text);
    }
    SetWindowList(c->window_menu, c->first_child_id, titles, active);
}

}  // namespace

int WindowListBuildCount() { return list_builds; }

void RebuildWindowList(HWND client) {
    if (std::find(stale_lists.begin(), stale_lists.end(), client) != stale_lists.end()) return;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) {
        BuildWindowList(client);
        return;
    }
    if (stale_lists.empty()) QTimer::singleShot(0, app, &FlushWindowLists);
    stale_lists.push_back(client);
}

void FlushWindowLists() {
    if (stale_lists.empty()) return;
    const std::vector<HWND> clients = std::move(stale_lists);
    stale_lists.clear();
    for (HWND client : clients) BuildWindowList(client);
}

// The children that are alive, in creation order (the window list's order).
std::vector<HWND> LiveChildren(Window& c) {
    std::vector<HWND> out;
    for (HWND h : c.mdi_children)
        if (Window* w = Find(h); w && !w->destroying) out.push_back(h);
    return out;
}

LRESULT MdiClientProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* c = Find(hwnd);
    if (!c) return 0;
    auto* area = qobject_cast<QMdiArea*>(c->widget.data());
    switch (message) {
        case WM_CREATE: {
            const auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
            const auto* ccs =
                cs ? static_cast<const CLIENTCREATESTRUCT*>(cs->lpCreateParams) : nullptr;
            if (ccs) {
                c->window_menu = ccs->hWindowMenu;
                c->first_child_id = ccs->idFirstChild;
            }
            if (area) {
                QObject::connect(area, &QMdiArea::subWindowActivated, area,
                                 [hwnd](QMdiSubWindow* sub) {
                                     if (activating || !sub) return;
                                     const HWND child = HwndOfWidget(sub);
                                     if (child) Activate(hwnd, child);
                                 });
            }
            return 0;
        }
        case WM_MDICREATE: {
            const auto* mcs = reinterpret_cast<const MDICREATESTRUCT*>(lParam);
            if (!mcs) return 0;
            const HWND child =
                CreateWindowEx(WS_EX_MDICHILD, mcs->szClass, mcs->szTitle,
                               mcs->style | WS_CHILD | WS_VISIBLE, mcs->x, mcs->y, mcs->cx, mcs->cy,
                               hwnd, HMENU{}, mcs->hOwner, const_cast<MDICREATESTRUCT*>(mcs));
            return static_cast<LRESULT>(child.value);
        }
        case WM_MDIDESTROY:
            DestroyWindow(ParamToHandle(wParam));
            return 0;
        case WM_MDIACTIVATE:
            Activate(hwnd, ParamToHandle(wParam));
            return 0;
        case WM_MDIGETACTIVE:
            return static_cast<LRESULT>(Find(c->active_child) ? c->active_child.value : 0);
        case WM_MDINEXT: {
            std::vector<HWND> children = LiveChildren(*c);
            if (children.empty()) return 0;
            auto it = std::find(children.begin(), children.end(), c->active_child);
            const std::size_t i =
                it == children.end() ? 0 : static_cast<std::size_t>(it - children.begin());
            Activate(hwnd, children[(i + 1) % children.size()]);
            return 0;
        }
        case WM_MDITILE:
            if (area) area->tileSubWindows();
            return TRUE;
        case WM_MDICASCADE:
            if (area) area->cascadeSubWindows();
            return TRUE;
        case WM_MDIICONARRANGE:
            return 0;
        case WM_MDIMAXIMIZE:
            if (Window* w = Find(ParamToHandle(wParam)); w && w->outer) w->outer->showMaximized();
            return 0;
        case WM_MDIRESTORE:
            if (Window* w = Find(ParamToHandle(wParam)); w && w->outer) w->outer->showNormal();
            return 0;
        default:
            return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

}  // namespace platform::ui

namespace platform {

LRESULT DefFrameProc(HWND hwnd, HWND mdiClient, UINT message, WPARAM wParam, LPARAM lParam) {
    ui::Window* frame = ui::Find(hwnd);
    if (!frame) return 0;
    ui::Window* client = ui::Find(mdiClient);
    switch (message) {
        case WM_COMMAND:
            if (client && lParam == 0) {
                const UINT id = LOWORD(wParam);
                const std::vector<HWND> children = ui::LiveChildren(*client);
                if (id >= client->first_child_id && id < client->first_child_id + children.size()) {
                    SendMessage(mdiClient, WM_MDIACTIVATE,
                                static_cast<WPARAM>(children[id - client->first_child_id].value),
                                0);
                    return 0;
                }
            }
            return 0;
        case WM_SIZE:
            if (client) MoveWindow(mdiClient, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            return 0;
        default:
            return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

LRESULT DefMDIChildProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    ui::Window* w = ui::Find(hwnd);
    if (!w) return 0;
    switch (message) {
        case WM_CLOSE:
            SendMessage(w->parent, WM_MDIDESTROY, static_cast<WPARAM>(hwnd.value), 0);
            return 0;
        case WM_SIZE:
        case WM_MOVE:
            return 0;
        default:
            return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

}  // namespace platform
