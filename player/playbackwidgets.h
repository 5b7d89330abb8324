#pragma once

#include <vector>

class JobListModel;
class QAbstractButton;
class QAction;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QSlider;
class QWidget;
class StatusBar;

// The widgets playback drives; owned by the window.
struct PlaybackWidgets
{
    JobListModel &jobs;
    QWidget &window; // owner of message boxes
    StatusBar &StatusBar1;
    QLineEdit &txtFolder;
    QPushButton &cmdPlay;
    QPushButton &cmdPause;
    QPushButton &cmdConvert;
    QSlider &slPosition;
    // Left and right level meters, and the plain bars standing in their place while idle.
    QProgressBar &ProgressConvert;
    QProgressBar &ProgressConvert11;
    QProgressBar &ProgressConvert2;
    QProgressBar &ProgressConvert22;
    QMenu &convertmenu;
    QMenu &playmenu;
    QAction &pause;  // list popup entry
    QAction &pausea; // Action menu entry
    // The output format buttons, in the order of the format table: "Play Converted File"
    // looks for a row not converted since it was added in the selected format.
    std::vector<QAbstractButton *> outputformat;
};
