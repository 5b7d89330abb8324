#pragma once

#include "ui/statusbar.h"
#include "joblist/audioprobe.h"
#include "joblist/joblistcontroller.h"
#include "joblist/joblistmodel.h"

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

    void prepare() override;
    std::optional<AudioFacts> probe(const QString &path) override;
};

// A window with the widgets and shared variables the job list commands touch, and records of
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

    QString CurrentFile;
    qint64 HoverRow = 0;
    qint64 intCurItem = 0;
    bool IsPlaying = false;
    bool intoSourceFolder = false;
    bool tagMode = false;
    int leftTagMode = 0;
    int enteredTagMode = 0;
    int tooltipsDestroyed = 0;
    QStringList loadedTags;
    QList<QMenu *> popups;

    std::unique_ptr<JobListController> controller;
};
