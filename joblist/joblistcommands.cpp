#include "joblist/joblistcommands.h"

#include "app/frmdialog.h"
#include "engine/fileinfo.h"
#include "ui/skin/skinengine.h"
#include "joblist/fileinfoprobe.h"
#include "joblist/joblistcontroller.h"
#include "joblist/joblistmodel.h"
#include "options/frmoption.h"
#include "ui/ctooltip.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>

namespace {

template <typename Sender, typename Signal>
void connectNamed(frmDialog &window, const char *name, Signal signal, JobListController *target,
                  void (JobListController::*slot)())
{
    for (Sender *sender : window.findChildren<Sender *>(QString::fromLatin1(name)))
        QObject::connect(sender, signal, target, slot);
}

} // namespace

JobListCommands::JobListCommands(frmDialog &window)
    : m_probe(std::make_unique<FileInfoProbe>([&window] { return window.FileInfo.get(); }))
{
    JobListWiring wiring;
    wiring.jobs = window.jobs;
    wiring.viewEvent = window.viewEvent;
    wiring.window = &window;
    wiring.StatusBar1 = window.StatusBar1;
    wiring.txtFolder = window.txtFolder;
    wiring.probe = m_probe.get();
    wiring.rightmenu = window.rightmenu;
    wiring.CurrentFile = &window.CurrentFile;
    wiring.HoverRow = &window.HoverRow;
    wiring.intCurItem = &window.intCurItem;
    wiring.IsPlaying = &window.IsPlaying;
    wiring.convertIntoSourceFolder = [&window] {
        return window.options().convertIntoSourceFolder();
    };
    wiring.tagEditorOpen = [&window] {
        return window.isTagMode();
    };
    wiring.destroyTooltip = [&window] {
        if (window.tooltip)
            window.tooltip->Destroy();
    };
    wiring.popupMenu = [&window](QMenu *menu, const QPoint &at) {
        if (window.Skn)
            window.Skn->skinnedWindow(&window).popupMenu(menu, at.x(), at.y());
        else
            menu->popup(at);
    };

    m_controller = std::make_unique<JobListController>(std::move(wiring));
    JobListController *c = m_controller.get();
    c->attachView();

    using C = JobListController;
    constexpr auto clicked = &QPushButton::clicked;
    constexpr auto triggered = &QAction::triggered;
    connectNamed<QPushButton>(window, "cmdOpenFile", clicked, c, &C::addFiles);
    connectNamed<QPushButton>(window, "cmdDel", clicked, c, &C::removeChecked);
    connectNamed<QPushButton>(window, "cmdClear", clicked, c, &C::clearAll);
    for (const char *name : {"addf", "add"})
        connectNamed<QAction>(window, name, triggered, c, &C::addFiles);
    for (const char *name : {"removef", "remove"})
        connectNamed<QAction>(window, name, triggered, c, &C::removeChecked);
    for (const char *name : {"cleara", "clear"})
        connectNamed<QAction>(window, name, triggered, c, &C::clearAll);
    for (const char *name : {"selecta", "select"})
        connectNamed<QAction>(window, name, triggered, c, &C::selectAll);
    for (const char *name : {"unselecta", "unselect"})
        connectNamed<QAction>(window, name, triggered, c, &C::selectNone);
    for (const char *name : {"invert", "insel"})
        connectNamed<QAction>(window, name, triggered, c, &C::invertSelection);
    connectNamed<QAction>(window, "playlist", triggered, c, &C::outputPlaylist);
}

JobListCommands::~JobListCommands() = default;

JobListWiring &JobListCommands::wiring()
{
    return m_controller->wiring();
}
