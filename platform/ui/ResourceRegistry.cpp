// The registry of dialog templates and menus, found by name without regard to case (as resource
// names are).

#include <cctype>
#include <string>
#include <vector>

#include "platform/ui/Resources.h"

namespace platform {
namespace {

std::vector<const DialogTemplate*>& Dialogs() {
    static auto* dialogs = new std::vector<const DialogTemplate*>;
    return *dialogs;
}

std::vector<const MenuTemplate*>& Menus() {
    static auto* menus = new std::vector<const MenuTemplate*>;
    return *menus;
}

bool SameName(const char* a, const char* b) {
    if (!a || !b) return false;
    for (; *a && *b; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) !=
            std::tolower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

template <class T>
void Put(std::vector<const T*>& list, const T* item) {
    if (!item || !item->name) return;
    for (auto& existing : list) {
        if (SameName(existing->name, item->name)) {
            existing = item;
            return;
        }
    }
    list.push_back(item);
}

template <class T>
const T* Get(const std::vector<const T*>& list, const char* name) {
    for (const T* item : list)
        if (SameName(item->name, name)) return item;
    return nullptr;
}

}  // namespace

void RegisterDialogTemplate(const DialogTemplate* dialog) { Put(Dialogs(), dialog); }
void RegisterMenu(const MenuTemplate* menu) { Put(Menus(), menu); }
const DialogTemplate* FindDialogTemplate(const char* name) { return Get(Dialogs(), name); }
const MenuTemplate* FindMenuTemplate(const char* name) { return Get(Menus(), name); }
std::vector<const DialogTemplate*> RegisteredDialogTemplates() { return Dialogs(); }

}  // namespace platform
