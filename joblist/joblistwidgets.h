#pragma once

class JobListModel;
class QLineEdit;
class QMenu;
class QTreeView;
class QWidget;
class StatusBar;

// The widgets the job list's commands drive; owned by the window.
struct JobListWidgets
{
    JobListModel &jobs;
    QTreeView &viewEvent;
    QWidget &window; // owner of dialogs and message boxes
    StatusBar &StatusBar1;
    QLineEdit &txtFolder;
    QMenu &rightmenu;
};
