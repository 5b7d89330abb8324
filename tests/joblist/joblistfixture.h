#pragma once

#include "app/mainstate.h"
#include "joblist/audioprobe.h"
#include "joblist/joblistcommands.h"
#include "joblist/joblistmodel.h"
#include "options/outputoptions.h"
#include "tags/tageditorcalls.h"
#include "ui/statusbar.h"

#include <QLineEdit>
#include <QMenu>
#include <QStringList>
#include <QTemporaryDir>
#include <QTreeView>
#include <QWidget>

#include <memory>

// Reads the "ms=<length>" text that test files carry; any other content is not audio.
class ScriptedProbe : public AudioProbe
{
public:
    int prepared = 0;
    QStringList probed;

    void prepare() override { ++prepared; }
    std::optional<AudioFacts> probe(const QString &path) override;
};

// Records the calls into the tag editor; open while `open` is set.
struct RecordingTagEditor : TagEditorCalls
{
    bool open = false;
    int left = 0;
    int entered = 0;
    QStringList loaded;

    bool isOpen() const override { return open; }
    void EnterTagMode() override { ++entered; }
    void LeaveTagMode() override
    {
        ++left;
        open = false;
    }
    void LoadTags(const QString &path) override { loaded << path; }
};

struct FixedOptions : OutputOptions
{
    bool intoSourceFolder = false;

    QString outputFolder() override { return QStringLiteral("/output"); }
    bool convertIntoSourceFolder() override { return intoSourceFolder; }
    bool openFolderAfterRun() override { return false; }
};

// A window with the widgets and shared state the job list commands touch, and records of
// the calls into the other subsystems.
struct JobListFixture
{
    JobListFixture();
    ~JobListFixture();

    // Creates `relative` in the temporary folder as an audio file of `ms` (or not audio).
    QString audio(const QString &relative, qint64 ms = 1000);
    QString notAudio(const QString &relative);
    QString panel(int number) const { return statusBar->panelText(number); }
    QStringList names() const;

    QTemporaryDir dir;
    QWidget window;
    QTreeView *view = nullptr;
    StatusBar *statusBar = nullptr;
    QLineEdit *txtFolder = nullptr;
    QMenu *rightmenu = nullptr;
    JobListModel jobs;
    ScriptedProbe probe;

    MainState state;
    FixedOptions options;
    RecordingTagEditor tagEditor;
    int tooltipsDestroyed = 0;
    QList<QMenu *> popups;

    std::unique_ptr<JobListCommands> controller;
};
