#pragma once

#include <vector>

class JobListModel;
class QAbstractButton;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QTimer;
class QWidget;
class StatusBar;

// The widgets a conversion run drives; owned by the window.
struct ConversionWidgets
{
    QWidget &window; // hourglass pointer, owner of message boxes
    JobListModel &jobs;
    StatusBar &StatusBar1;
    QPushButton &cmdConvert;
    QLineEdit &txtFolder;
    std::vector<QAbstractButton *> outputformat; // in the order of the format table
    // Live bars count 0..600; each placeholder stands in its live bar's place.
    QProgressBar &ProgressConvert;
    QProgressBar &ProgressConvert11;
    QProgressBar &ProgressConvert2;
    QProgressBar &ProgressConvert22;
    QTimer &Timer1; // shutdown timer
    // Disabled while a run walks the list (with the format buttons); cmdConvert stays live.
    std::vector<QWidget *> lockedControls;
    std::vector<QMenu *> lockedMenus;
};
