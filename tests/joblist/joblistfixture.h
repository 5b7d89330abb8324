#pragma once

#include "joblist/audioprobe.h"
#include "joblist/joblistcommands.h"
#include "joblist/joblistmodel.h"
#include "tags/tageditorcalls.h"
#include "ui/statusbar.h"

#include "tests/support/fixedoptions.h"
#include "tests/support/testenv.h"

#include <QtWidgets>

#include <memory>

// Reads the "ms=<length>" text that test files carry; any other content is not audio.
class ScriptedProbe : public AudioProbe
{
public:
    QStringList probed;

    void prepare() override {}
    std::optional<AudioFacts> probe(const QString &path) override
    {
        probed << path;
        const QByteArray content = TestEnv::readFile(path);
        if (!content.startsWith("ms="))
            return std::nullopt;
        return AudioFacts{content.mid(3).trimmed().toLongLong(), QFileInfo(path).size()};
    }
    std::unique_ptr<AudioProbe> another() const override
    {
        return std::make_unique<ScriptedProbe>();
    }
};

// Records the calls into the tag editor; open while `open` is set.
struct RecordingTagEditor : TagEditorCalls
{
    bool open = false;
    int left = 0, entered = 0;
    QStringList loaded;

    bool isOpen() const override { return open; }
    void EnterTagMode(const QString &) override { ++entered; }
    void LeaveTagMode() override
    {
        ++left;
        open = false;
    }
    void LoadTags(const QString &path) override { loaded << path; }
};

// A window with the widgets and shared state the job list commands touch, and records of
// the calls into the other subsystems.
struct JobListFixture
{
    JobListFixture()
    {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(view = new QTreeView(&window));
        layout->addWidget(txtFolder = new QLineEdit("/output", &window));
        layout->addWidget(statusBar = new StatusBar(&window));
        rightmenu = new QMenu(&window);
        controller = std::make_unique<JobListCommands>(
            JobListWidgets{jobs, *view, window, *statusBar, *txtFolder, *rightmenu},
            JobListCommands::Activity{[this] { return playing; },
                                      [] {
                                          return false;
                                      }},
            probe, options, tagEditor);
        QObject::connect(controller.get(), &JobListCommands::hoverCleared,
                         [this] { ++tooltipsDestroyed; });
        QObject::connect(controller.get(), &JobListCommands::popupRequested,
                         [this](QMenu *menu, const QPoint &) { popups << menu; });
        window.resize(900, 400);
    }

    ListFocus &focus() { return controller->focus(); }

    // Creates `relative` in the temporary folder as an audio file of `ms` (or not audio).
    QString audio(const QString &relative, qint64 ms = 1000)
    {
        return write(relative, "ms=" + QByteArray::number(ms));
    }
    QString notAudio(const QString &relative) { return write(relative, "not audio"); }
    QString panel(int number) const { return statusBar->panelText(number); }
    QStringList names() const
    {
        QStringList result;
        for (int row = 0; row < jobs.count(); ++row)
            result << jobs.text(row, JobColumn::Name);
        return result;
    }
    QString write(const QString &relative, const QByteArray &content)
    {
        const QString path = dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        TestEnv::writeFile(path, content);
        return path;
    }

    QTemporaryDir dir;
    QWidget window;
    QTreeView *view = nullptr;
    StatusBar *statusBar = nullptr;
    QLineEdit *txtFolder = nullptr;
    QMenu *rightmenu = nullptr;
    JobListModel jobs;
    ScriptedProbe probe;

    bool playing = false; // no run is ever going on here
    FixedOptions options;
    RecordingTagEditor tagEditor;
    int tooltipsDestroyed = 0;
    QList<QMenu *> popups;

    std::unique_ptr<JobListCommands> controller;
};
