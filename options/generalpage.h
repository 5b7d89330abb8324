#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QSpinBox;
class UpDown;
struct OptionsContext;

// The General page: output folder, what happens around a run, the colour theme.
class GeneralPage : public QWidget
{
    Q_OBJECT
public:
    GeneralPage(OptionsContext &context, QLabel *picture, QWidget *parent = nullptr);

    // The controls as a fresh dialog has them, without any side effect.
    void resetToBuiltIn();
    // Reads section "output" (not "format") into the controls; each failing step is skipped.
    void load();
    // Writes section "output" (not "format") in its fixed order.
    void save();
    // "Choose": the folder picker; a picked folder always ends with a separator.
    void choose();

    QLineEdit *txtOutFolder;
    QPushButton *Command1; // "Choose"
    QCheckBox *chkOldfolder;
    QCheckBox *chkKeepfolders; // "Keep the folder structure of added folders"
    QCheckBox *chkSplit;       // long files encoded by several instances at once
    QCheckBox *chkOpenFolder;
    QCheckBox *chkOverwrite;
    QCheckBox *chkDeleteSource;
    QCheckBox *chkNormalize;
    QLineEdit *txtNormalize;
    UpDown *udNormalize;
    QCheckBox *chkPlaylist;
    QLineEdit *txtPlaylist;
    QSlider *sldColor;
    QSpinBox *spnJobs; // "Files converted at once"; 0 reads "Automatic"

    // The job list tint of colour theme 5.
    static constexpr QRgb Theme5ListColour = 0xBCB4C5; // RGB(188, 180, 197)

private:
    void onFolderChanged(const QString &text);
    void onOldFolderToggled(bool ticked);
    void onColorChanged(int position);

    OptionsContext &m_context;
};
