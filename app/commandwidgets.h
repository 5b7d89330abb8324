#pragma once

class QAction;
class QLineEdit;
class QWidget;

// The widgets the main window's small commands drive; owned by the window.
struct CommandWidgets
{
    QWidget &window; // owner of the dialogs
    QLineEdit &txtFolder;
    QAction &website;
    QAction &bbs;
    QAction &mailus;
    QAction &update; // Online Update
};
