#pragma once

#include <QColor>
#include <QString>

class EncoderSink;
class Mp3Settings;
class QWidget;

// Everything the options dialog touches outside itself: the main window's folder box, status
// panel, job list and skin, and the engine objects. Engine objects may be absent (null) early
// in start-up; the steps that need them are then skipped.
class OptionsHost
{
public:
    virtual ~OptionsHost() = default;

    virtual QWidget *ownerWindow() = 0;
    // The main window's output-folder box.
    virtual void setFolderBox(const QString &text) = 0;
    // The first panel of the main window's status bar.
    virtual void setFolderPanel(const QString &text) = 0;
    // Rewrites the "Save to..." column of every job row: the row's "From..." folder when
    // `intoSourceFolder`, else `outputFolder` (below it in the row's folder relative to its
    // root when `keepFolders`).
    virtual void rewriteSaveTo(bool intoSourceFolder, const QString &outputFolder,
                               bool keepFolders) = 0;
    virtual void applySkin(QWidget *window, const QString &definition) = 0;
    virtual void setHue(int degrees) = 0;
    virtual void setJobListBackground(const QColor &colour) = 0;

    virtual EncoderSink *encoder() = 0;
    virtual Mp3Settings *mp3Settings() = 0;
};
