#include "app/commandtable.h"

#include "app/frmdialog.h"
#include "joblist/joblistcommands.h"
#include "player/playback.h"

#include <QAbstractButton>
#include <QAction>
#include <QPushButton>

#include <functional>
#include <initializer_list>

namespace {

// One operation and every control that runs it; `receiver` ends the connections when it goes.
void bind(std::initializer_list<QObject *> controls, QObject *receiver,
          const std::function<void()> &operation)
{
    for (QObject *control : controls) {
        if (auto *action = qobject_cast<QAction *>(control))
            QObject::connect(action, &QAction::triggered, receiver, operation);
        else if (auto *button = qobject_cast<QAbstractButton *>(control))
            QObject::connect(button, &QAbstractButton::clicked, receiver, operation);
    }
}

} // namespace

void CommandTable::connectAll(frmDialog &w)
{
    JobListCommands *list = &w.jobList();
    using L = JobListCommands;
    const auto on = [](auto method, auto *target) {
        return std::bind_front(method, target);
    };

    // Files
    bind({w.cmdOpenFile, w.addf, w.add}, list, on(&L::addFiles, list));
    bind({w.cmdDel, w.removef, w.remove}, list, on(&L::removeChecked, list));
    bind({w.cmdClear, w.cleara, w.clear}, list, on(&L::clearAll, list));
    bind({w.selecta, w.select}, list, on(&L::selectAll, list));
    bind({w.unselecta, w.unselect}, list, on(&L::selectNone, list));
    bind({w.invert, w.insel}, list, on(&L::invertSelection, list));
    bind({w.exit}, &w, on(&frmDialog::Exit, &w));

    // Action
    bind({w.playlist}, list, on(&L::outputPlaylist, list));

    // Playback
    Playback *player = &w.playback();
    using P = Playback;
    bind({w.playsource, w.playa, w.play}, player, on(&P::PlaySource, player));
    bind({w.playconverted}, player, on(&P::PlayConverted, player));
    bind({w.cmdPause, w.pausea, w.pause}, player, on(&P::PauseOrContinue, player));
    bind({w.cmdStop, w.stopa, w.stop}, player, on(&P::StopPlayback, player));
}
