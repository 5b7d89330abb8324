#include "app/commandtable.h"

#include "app/commands.h"
#include "app/frmdialog.h"
#include "convert/conversionrun.h"
#include "convert/outputformat.h"
#include "joblist/joblistcommands.h"
#include "player/playback.h"
#include "tags/tageditor.h"
#include "tags/tagpanel.h"

#include <QAbstractButton>
#include <QAction>
#include <QPushButton>
#include <QRadioButton>

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

    // Small commands: output folder, help, properties, options, About, update, vendor links
    Commands *cmds = &w.commands();
    using C = Commands;
    bind({w.cmdSelect}, cmds, on(&C::pickOutputFolder, cmds));
    bind({w.cmdHelp, w.content}, cmds, on(&C::showHelp, cmds));
    bind({w.goto_}, cmds, on(&C::gotoOutputFolder, cmds));
    bind({w.properties}, cmds, on(&C::showFileProperties, cmds));
    bind({w.cmdOption, w.option}, cmds, on(&C::showOptions, cmds));
    bind({w.about}, cmds, on(&C::showAbout, cmds));
    bind({w.update_}, cmds, on(&C::showUpdate, cmds));
    bind({w.website}, cmds, on(&C::openWebSite, cmds));
    bind({w.bbs}, cmds, on(&C::openForum, cmds));
    bind({w.mailus}, cmds, on(&C::mailUs, cmds));

    // Conversion run
    ConversionRun *run = &w.conversionRun();
    bind({w.cmdConvert}, run, on(&ConversionRun::Convert, run));
    for (const OutputFormat &format : OutputFormats::all()) {
        const OutputFormatId id = format.id;
        bind({w.convertEntries[size_t(id)], w.convertPopupEntries[size_t(id)]}, run,
             [run, id] { run->convertTo(id); });
    }

    // Playback
    Playback *player = &w.playback();
    using P = Playback;
    bind({w.playsource, w.playa, w.play}, player, on(&P::PlaySource, player));
    bind({w.playconverted}, player, on(&P::PlayConverted, player));
    bind({w.cmdPause, w.pausea, w.pause}, player, on(&P::PauseOrContinue, player));
    bind({w.cmdStop, w.stopa, w.stop}, player, on(&P::StopPlayback, player));

    // Tag editor
    TagEditor *tags = &w.tagEditor();
    const TagPanel &panel = *w.tagPanel;
    using T = TagEditor;
    // The editor opens on the row the pointer was last over, which the job list knows.
    bind({w.cmdTag, w.id3tag, w.id3}, list, on(&L::EnterTagMode, list));
    bind({panel.cmdCloseTag, panel.cmdCancel}, tags, on(&T::LeaveTagMode, tags));
    bind({panel.cmdSetInfo}, tags, on(&T::SaveTags, tags));
    bind({panel.cmdID3}, tags, on(&T::SwapTagVersion, tags));
    for (int i = 0; i < 2; ++i)
        bind({panel.Option1[size_t(i)]}, tags, std::bind_front(&T::Option1_Click, tags, i));
}
