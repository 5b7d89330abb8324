#pragma once

#include "recordinghost.h"

#include "options/frmoption.h"
#include "settings/keys.h"
#include "settings/settingsfiles.h"
#include "tests/support/testenv.h"
#include "tests/support/testplatform.h"

#include <memory>

// A fresh settings folder, test platform, recording host and options dialog per test.
struct OptionsFixture
{
    TestConfigDir config;
    TestPlatform *platform = TestPlatform::install();
    RecordingHost host;
    std::unique_ptr<frmOption> dialog = std::make_unique<frmOption>(host);

    QString working() const { return SettingsFiles::workingFile(); }
    void writeWorking(const QByteArray &text) const { TestEnv::writeFile(working(), text); }
    // Writes the settings file and loads the dialog from it.
    frmOption &load(const QByteArray &text)
    {
        writeWorking(text);
        dialog->Load();
        return *dialog;
    }
    QString value(Ini::Key key) const { return SettingsFiles::read(working(), key); }
};
