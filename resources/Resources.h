// The program's dialog templates and menus, kept as data and handed to the platform layer.
#pragma once

namespace resources {

// Registers every dialog template and menu with the platform layer. Safe to call again.
void RegisterAll();

}  // namespace resources
