#pragma once

class frmDialog;

// Connects every button, menu-bar entry and popup entry of the main window to its operation.
// Entries that run one operation are listed together, so they cannot drift apart.
namespace CommandTable {

void connectAll(frmDialog &window);

} // namespace CommandTable
