#pragma once

#include "options/optionshost.h"
#include "options/settingsencoder.h"

#include <QColor>

class frmDialog;

// The options dialog's host in the program: the main window, its live encoder settings and
// its MP3 settings object.
class MainWindowHost : public OptionsHost
{
public:
    // `encoderSettings` are the window's live encoder settings, which the pages edit.
    MainWindowHost(frmDialog &main, EncoderSettingsSet &encoderSettings)
        : m_main(main)
        , m_encoder(encoderSettings)
    {
    }

    QWidget *ownerWindow() override;
    void setFolderBox(const QString &text) override;
    void setFolderPanel(const QString &text) override;
    void rewriteSaveTo(bool intoSourceFolder, const QString &outputFolder,
                       bool keepFolders) override;
    void applySkin(QWidget *window, const QString &definition) override;
    void setHue(int degrees) override;
    void setJobListBackground(const QColor &colour) override;
    EncoderSink *encoder() override;
    Mp3Settings *mp3Settings() override;

private:
    frmDialog &m_main;
    SettingsEncoder m_encoder;
    QColor m_listBackground; // the list's own background, once a theme set one
};
