// Where resources come from: dialogs, strings and button bitmaps from the language library chosen
// at start-up (or the program itself), background bitmaps always from the program itself.
#pragma once

#include <windows.h>

#include <string>

namespace skin {

// Start-up hands over the loaded language library; null means the program's own resources.
void SetResourceModule(HMODULE module);

// The module for dialog templates, strings and button bitmaps.
HMODULE ResourceModule();

// The program's own module (background bitmaps).
HMODULE ProgramModule();

// A string of the string table, from the resource module; empty when missing.
std::string LoadString(UINT id);

} // namespace skin
