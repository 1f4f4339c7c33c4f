// Menus: trees of items made from resource descriptions, shown as the frame's menu bar.

#include "platform/ui/Menu.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/WindowTable.h"

namespace platform {
namespace ui {
namespace {

struct MenuItem {
    std::string text;
    UINT id = 0;
    bool separator = false;
    HMENU popup{};
    bool checked = false;
    bool grayed = false;
    bool window_list = false;  // part of the MDI window list
    bool operator==(const MenuItem&) const = default;
};

struct Menu {
    std::vector<MenuItem> items;
    HMENU parent{};
};

std::vector<std::unique_ptr<Menu>>& Menus() {
    static auto* menus = new std::vector<std::unique_ptr<Menu>>(1);
    return *menus;
}

Menu* FindMenu(HMENU h) {
    auto& menus = Menus();
    if (!h || h.value >= menus.size()) return nullptr;
    return menus[h.value].get();
}

HMENU NewMenu(HMENU parent) {
    auto& menus = Menus();
    auto m = std::make_unique<Menu>();
    m->parent = parent;
    menus.push_back(std::move(m));
    return HMENU::FromIndex(static_cast<std::uint32_t>(menus.size() - 1));
}

HMENU RootOf(HMENU h) {
    Menu* m = FindMenu(h);
    while (m && m->parent && FindMenu(m->parent)) {
        h = m->parent;
        m = FindMenu(h);
    }
    return m ? h : HMENU{};
}

// The item `item` of `menu`: by position, or by command searched through the popups.
MenuItem* FindItem(HMENU menu, UINT item, UINT flags, HMENU* owner = nullptr) {
    Menu* m = FindMenu(menu);
    if (!m) return nullptr;
    if (flags & MF_BYPOSITION) {
        if (item >= m->items.size()) return nullptr;
        if (owner) *owner = menu;
        return &m->items[item];
    }
    for (MenuItem& it : m->items) {
        if (!it.separator && !it.popup && it.id == item) {
            if (owner) *owner = menu;
            return &it;
        }
        if (it.popup)
            if (MenuItem* found = FindItem(it.popup, item, flags, owner)) return found;
    }
    return nullptr;
}

void Refresh(HMENU menu) {
    const HMENU root = RootOf(menu);
    if (!root) return;
    for (HWND h : AllWindows()) {
        Window* w = Find(h);
        if (w && w->menu == root) AttachMenuBar(h);
    }
}

// Menu bars whose rebuild waits for the loop: a burst of window-list changes (a window title
// set for every step of a long computation) rebuilds the menu bar once, before it is seen again.
std::vector<HMENU> pending_roots;
int bar_builds = 0;

void FlushPending() {
    FlushWindowLists();
    const std::vector<HMENU> roots = std::move(pending_roots);
    pending_roots.clear();
    for (HMENU root : roots) Refresh(root);
}

void RefreshSoon(HMENU menu) {
    const HMENU root = RootOf(menu);
    if (!root) return;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) {
        Refresh(root);
        return;
    }
    if (std::find(pending_roots.begin(), pending_roots.end(), root) != pending_roots.end()) return;
    if (pending_roots.empty()) QTimer::singleShot(0, app, &FlushPending);
    pending_roots.push_back(root);
}

void Fill(QMenu* qmenu, HMENU menu, HWND frame) {
    Menu* m = FindMenu(menu);
    if (!m) return;
    for (const MenuItem& it : m->items) {
        if (it.separator) {
            qmenu->addSeparator();
        } else if (it.popup) {
            Fill(qmenu->addMenu(ToQt(it.text)), it.popup, frame);
        } else {
            QAction* action = qmenu->addAction(ToQt(it.text));
            action->setData(it.id);
            action->setEnabled(!it.grayed);
            if (it.checked) {
                action->setCheckable(true);
                action->setChecked(true);
            }
            const UINT id = it.id;
            QObject::connect(action, &QAction::triggered, action,
                             [frame, id] { PostMessage(frame, WM_COMMAND, id, 0); });
        }
    }
}

void DestroyTree(HMENU h) {
    Menu* m = FindMenu(h);
    if (!m) return;
    for (MenuItem& it : m->items)
        if (it.popup) DestroyTree(it.popup);
    Menus()[h.value].reset();
}

}  // namespace

void AttachMenuBar(HWND frame) {
    Window* w = Find(frame);
    auto* main = w ? qobject_cast<QMainWindow*>(w->outer.data()) : nullptr;
    if (!main) return;
    QMenuBar* bar = main->menuBar();
    // The bar's clear() takes its entries away but leaves the menus behind them alive, as the
    // bar's hidden children: they go with their entries. A menu still open on screen goes when
    // it closes (a choice made in it is posted first).
    for (QAction* entry : bar->actions()) {
        QMenu* menu = QMenu::menuInAction(entry);
        if (!menu || menu->parent() != bar) continue;
        if (menu->isVisible())
            QObject::connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
        else
            menu->deleteLater();
    }
    bar->clear();
    ++bar_builds;
    Menu* m = FindMenu(w->menu);
    if (!m) return;
    for (const MenuItem& it : m->items) {
        if (it.popup) {
            Fill(bar->addMenu(ToQt(it.text)), it.popup, frame);
        } else if (!it.separator) {
            QAction* action = bar->addAction(ToQt(it.text));
            action->setData(it.id);
            const UINT id = it.id;
            QObject::connect(action, &QAction::triggered, action,
                             [frame, id] { PostMessage(frame, WM_COMMAND, id, 0); });
        }
    }
}

void FlushMenuBars() { FlushPending(); }

void SetWindowList(HMENU menu, UINT first_id, const std::vector<std::string>& titles, int active) {
    Menu* m = FindMenu(menu);
    if (!m) return;
    const std::vector<MenuItem> before = m->items;
    std::erase_if(m->items, [](const MenuItem& it) { return it.window_list; });
    if (!titles.empty()) {
        MenuItem separator;
        separator.separator = true;
        separator.window_list = true;
        m->items.push_back(separator);
    }
    for (std::size_t i = 0; i < titles.size(); ++i) {
        MenuItem item;
        // Built by appending: "&" + a temporary string inserts at its front, which GCC's
        // Release build misreads as an overlapping copy.
        item.text = "&";
        item.text += std::to_string(i + 1);
        item.text += ' ';
        item.text += titles[i];
        item.id = first_id + static_cast<UINT>(i);
        item.window_list = true;
        item.checked = static_cast<int>(i) == active;
        m->items.push_back(item);
    }
    if (m->items != before) RefreshSoon(menu);
}

int MenuBarBuildCount() { return bar_builds; }

void ResetMenus() {
    pending_roots.clear();
    bar_builds = 0;
    auto& menus = Menus();
    menus.clear();
    menus.emplace_back();
}

}  // namespace ui

HMENU LoadMenu(HINSTANCE, const char* name) {
    const MenuTemplate* t = FindMenuTemplate(name);
    if (!t) return HMENU{};
    const HMENU root = ui::NewMenu(HMENU{});
    std::vector<HMENU> stack{root};  // stack[level] receives entries of that level
    for (std::size_t i = 0; i < t->item_count; ++i) {
        const MenuItemTemplate& e = t->items[i];
        const auto level = static_cast<std::size_t>(e.level < 0 ? 0 : e.level);
        if (level >= stack.size()) continue;  // a level without a popup above it
        stack.resize(level + 1);
        ui::MenuItem item;
        item.separator = e.text == nullptr;
        item.text = e.text ? e.text : "";
        item.id = e.id;
        const bool popup = i + 1 < t->item_count && t->items[i + 1].level > e.level;
        if (popup) item.popup = ui::NewMenu(stack[level]);
        ui::FindMenu(stack[level])->items.push_back(item);
        if (popup) stack.push_back(item.popup);
    }
    return root;
}

HMENU GetSubMenu(HMENU menu, int position) {
    ui::FlushWindowLists();  // the window list as the titles are now
    ui::Menu* m = ui::FindMenu(menu);
    if (!m || position < 0 || static_cast<std::size_t>(position) >= m->items.size()) return HMENU{};
    return m->items[static_cast<std::size_t>(position)].popup;
}

int GetMenuItemCount(HMENU menu) {
    ui::FlushWindowLists();  // the window list as the titles are now
    ui::Menu* m = ui::FindMenu(menu);
    return m ? static_cast<int>(m->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position) {
    ui::FlushWindowLists();  // the window list as the titles are now
    ui::Menu* m = ui::FindMenu(menu);
    if (!m || position < 0 || static_cast<std::size_t>(position) >= m->items.size())
        return static_cast<UINT>(-1);
    const ui::MenuItem& it = m->items[static_cast<std::size_t>(position)];
    return it.popup || it.separator ? static_cast<UINT>(-1) : it.id;
}

BOOL ModifyMenu(HMENU menu, UINT item, UINT flags, UINT_PTR newId, const char* text) {
    ui::FlushWindowLists();  // the window list as the titles are now
    ui::MenuItem* it = ui::FindItem(menu, item, flags);
    if (!it) return FALSE;
    it->separator = (flags & MF_SEPARATOR) != 0;
    it->text = text ? text : "";
    if (!it->popup) it->id = static_cast<UINT>(newId);
    it->grayed = (flags & MF_GRAYED) != 0;
    it->checked = (flags & MF_CHECKED) != 0;
    ui::Refresh(menu);
    return TRUE;
}

int GetMenuString(HMENU menu, UINT item, char* buffer, int size, UINT flags) {
    ui::FlushWindowLists();  // the window list as the titles are now
    if (buffer && size > 0) buffer[0] = 0;
    ui::MenuItem* it = ui::FindItem(menu, item, flags);
    if (!it) return 0;
    if (!buffer || size <= 0) return static_cast<int>(it->text.size());
    return static_cast<int>(
        ui::CopyText(it->text, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR id, const char* text) {
    ui::FlushWindowLists();  // the window list as the titles are now
    ui::Menu* m = ui::FindMenu(menu);
    if (!m) return FALSE;
    ui::MenuItem item;
    item.separator = (flags & MF_SEPARATOR) != 0;
    item.text = text ? text : "";
    item.id = static_cast<UINT>(id);
    item.grayed = (flags & MF_GRAYED) != 0;
    item.checked = (flags & MF_CHECKED) != 0;
    // Items go before the MDI window list.
    auto at = std::find_if(m->items.begin(), m->items.end(),
                           [](const ui::MenuItem& it) { return it.window_list; });
    m->items.insert(at, item);
    ui::Refresh(menu);
    return TRUE;
}

BOOL DestroyMenu(HMENU menu) {
    if (!ui::FindMenu(menu)) return FALSE;
    for (HWND h : ui::AllWindows()) {
        ui::Window* w = ui::Find(h);
        if (w && w->menu == menu) {
            w->menu = HMENU{};
            ui::AttachMenuBar(h);
        }
    }
    ui::DestroyTree(menu);
    return TRUE;
}

BOOL IsMenu(HMENU menu) { return ui::FindMenu(menu) ? TRUE : FALSE; }

BOOL SetMenu(HWND hwnd, HMENU menu) {
    ui::Window* w = ui::Find(hwnd);
    if (!w || (w->style & WS_CHILD)) return FALSE;
    if (menu && !ui::FindMenu(menu)) return FALSE;
    w->menu = menu;
    ui::AttachMenuBar(hwnd);
    return TRUE;
}

HMENU GetMenu(HWND hwnd) {
    ui::Window* w = ui::Find(hwnd);
    return w && ui::FindMenu(w->menu) ? w->menu : HMENU{};
}

BOOL DrawMenuBar(HWND hwnd) {
    if (!ui::Find(hwnd)) return FALSE;
    ui::AttachMenuBar(hwnd);
    return TRUE;
}

}  // namespace platform
