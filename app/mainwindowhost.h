#pragma once

#include "options/converterencoder.h"
#include "options/optionshost.h"

#include <optional>

class frmDialog;

// The options dialog's host in the program: the main window and its engine objects.
class MainWindowHost : public OptionsHost
{
public:
    explicit MainWindowHost(frmDialog &main)
        : m_main(main)
    {
    }

    QWidget *ownerWindow() override;
    void setFolderBox(const QString &text) override;
    void setFolderPanel(const QString &text) override;
    void rewriteSaveTo(bool intoSourceFolder, const QString &outputFolder) override;
    void applySkin(QWidget *window, const QString &definition) override;
    void setHue(int degrees) override;
    void setJobListBackground(const QColor &colour) override;
    EncoderSink *encoder() override;
    Mp3Settings *mp3Settings() override;

private:
    frmDialog &m_main;
    std::optional<ConverterEncoder> m_encoder;
};
