// Menus loaded from resource descriptions, shown as the frame's menu bar. Choosing an item posts
// WM_COMMAND (wParam = the item's identifier, lParam 0) to the window that carries the menu.
// UI thread only; every call on 0 or a destroyed menu reports failure.
#pragma once

#include "platform/Types.h"

namespace platform {

inline constexpr UINT MF_BYCOMMAND = 0x0000;
inline constexpr UINT MF_BYPOSITION = 0x0400;
inline constexpr UINT MF_STRING = 0x0000;
inline constexpr UINT MF_SEPARATOR = 0x0800;
inline constexpr UINT MF_ENABLED = 0x0000;
inline constexpr UINT MF_GRAYED = 0x0001;
inline constexpr UINT MF_UNCHECKED = 0x0000;
inline constexpr UINT MF_CHECKED = 0x0008;

// A fresh copy of the registered menu `name` (the menu bar with its popups); 0 when unknown.
HMENU LoadMenu(HINSTANCE instance, const char* name);
// The popup at `position` of a menu (0 when there is none). Sub-menus belong to their menu.
HMENU GetSubMenu(HMENU menu, int position);
int GetMenuItemCount(HMENU menu);
// Identifier of the item at `position`, -1 for a popup or a separator, or when there is none.
UINT GetMenuItemID(HMENU menu, int position);
// Replaces the item `item` (identifier with MF_BYCOMMAND, searched in sub-menus too, or position)
// by a text item with identifier `newId`. Returns FALSE when there is no such item.
BOOL ModifyMenu(HMENU menu, UINT item, UINT flags, UINT_PTR newId, const char* text);
// Length of the item's text copied into `buffer` (0 when there is no such item).
int GetMenuString(HMENU menu, UINT item, char* buffer, int size, UINT flags);
BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR id, const char* text);
// Destroys a menu and its popups; the window showing it loses its menu bar.
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);

// The menu bar of a top-level window (the frame).
BOOL SetMenu(HWND hwnd, HMENU menu);
HMENU GetMenu(HWND hwnd);
// Shows the changes made to the window's menu.
BOOL DrawMenuBar(HWND hwnd);

}  // namespace platform
