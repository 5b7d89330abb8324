#include "app/commandtable.h"

#include "app/frmdialog.h"
#include "joblist/joblistcommands.h"
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

    // Tag editor
    TagEditor *tags = &w.tagEditor();
    const TagPanel &panel = *w.tagPanel;
    using T = TagEditor;
    bind({w.cmdTag, w.id3tag, w.id3}, tags, on(&T::EnterTagMode, tags));
    bind({panel.cmdCloseTag, panel.cmdCancel}, tags, on(&T::LeaveTagMode, tags));
    bind({panel.cmdSetInfo}, tags, on(&T::SaveTags, tags));
    bind({panel.cmdID3}, tags, on(&T::SwapTagVersion, tags));
    for (int i = 0; i < 2; ++i)
        bind({panel.Option1[size_t(i)]}, tags, std::bind_front(&T::Option1_Click, tags, i));
}
