#pragma once

// The entry file routines of the shared module: Save and Open of the main window's entry.
namespace Module1 {

void SaveEntry();
void OpenEntry();

} // namespace Module1
