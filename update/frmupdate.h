#pragma once

#include "update/signingkey.h"
#include "update/transfer.h"
#include "update/updateconfig.h"

#include <QDialog>

#include <optional>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class SkinEngine;
class StatusBar;

// The live update window: checks the update description, and when a newer version is offered
// and the user agrees, downloads the installer, verifies it and opens it.
class frmUpdate : public QDialog
{
    Q_OBJECT
public:
    // `skin` (may be null) draws the window like the main window.
    frmUpdate(const UpdateConfig &config, SkinEngine *skin, QWidget *parent = nullptr);
    ~frmUpdate() override;

    // The check, then the download and start of the installer if the user agrees.
    void Command1_Click();
    // Saves `url` into `folder` under the address's last path segment once it matches its
    // signature (`url` + ".minisig", made with the key the program carries). Returns the saved
    // file, or "" after telling the user what failed or why the file was refused (silently
    // when busy or cancelled).
    QString DownloadToFolder(const QString &url, const QString &folder, qint64 maxBytes);

    // Closing the window, in any way, cancels a running transfer.
    void done(int result) override;

    // --- Controls (object names are the member names) --------------------------------
    QLabel *Label1 = nullptr;
    QPushButton *Command1 = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    StatusBar *StatusBar1 = nullptr; // 1: "Status: ...", 2: "Time: n Seconds"
    QTimer *Timer2 = nullptr;        // counts the seconds of a check

private:
    void build();
    void Timer2_Timer();
    void setStatus(const QString &text);
    void refreshStatusPanel();
    // The end of a check that leaves the window open.
    void endCheck(bool enableButton);
    // Tell the user; return "".
    QString failed(Transfer::Outcome outcome);
    QString refuse(const QString &name, const QString &why);
    // Whether `offered` is a version number above the running one; says why not.
    bool isNewer(const QString &offered);

    UpdateConfig m_config;
    Transfer m_transfer;
    std::optional<SigningKey> m_key;
    QString m_status;
    int m_elapsed = 0;
    bool m_closing = false;
};
