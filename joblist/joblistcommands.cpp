#include "joblist/joblistcommands.h"

#include "joblist/formatting.h"
#include "joblist/joblistmodel.h"
#include "joblist/playlistexport.h"
#include "platform/platform.h"
#include "tags/tageditorcalls.h"
#include "ui/statusbar.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTreeView>

JobListCommands::JobListCommands(JobListWidgets widgets, Activity activity, AudioProbe &probe,
                                 OutputOptions &options, TagEditorCalls &tagEditor, QObject *parent)
    : QObject(parent)
    , m_widgets(widgets)
    , m_activity(std::move(activity))
    , m_tagEditor(tagEditor)
    , m_addFiles(m_widgets, probe, options, m_activity.runActive)
{
    connect(&m_widgets.jobs, &JobListModel::itemCheck, this, &JobListCommands::checkBoxChanged);
    JobListModel *jobs = &m_widgets.jobs;
    const auto follow = [this] {
        followCurrentRow();
    };
    connect(jobs, &JobListModel::layoutChanged, this, follow);
    connect(jobs, &JobListModel::rowsRemoved, this, follow);
    connect(jobs, &JobListModel::rowsInserted, this, follow);
    connect(jobs, &JobListModel::modelReset, this, follow);
    attachView();
}

// The view forgets this event filter by itself when the controller goes.
JobListCommands::~JobListCommands() = default;

void JobListCommands::attachView()
{
    QTreeView *view = &m_widgets.viewEvent;
    if (view->model() != &m_widgets.jobs)
        view->setModel(&m_widgets.jobs);
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setAllColumnsShowFocus(true);
    view->setSortingEnabled(false); // the list sorts itself on header clicks
    view->setMouseTracking(true);
    view->setAcceptDrops(true);
    view->setDragDropMode(QAbstractItemView::DropOnly);
    view->setDropIndicatorShown(false);

    QHeaderView *header = view->header();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    for (int column = 0; column < JobListModel::ColumnCount; ++column)
        header->resizeSection(column, JobListModel::columnWidth(column));

    view->viewport()->installEventFilter(this);
    view->installEventFilter(this); // keys and the keyboard's context menu
    connect(header, &QHeaderView::sectionClicked, this, &JobListCommands::columnHeaderClicked);
    connect(view, &QTreeView::clicked, this, [this] { rowClicked(); });
    connect(view, &QTreeView::doubleClicked, this, [this] { doubleClicked(); });
    connect(&m_widgets.jobs, &JobListModel::sortingChanged, this,
            &JobListCommands::updateSortIndicator);
}

// --- Commands -----------------------------------------------------------------------------

void JobListCommands::addFiles()
{
    m_addFiles.run();
}

void JobListCommands::addFolder()
{
    m_addFiles.pickFolder();
}

void JobListCommands::stopAdding()
{
    m_addFiles.stopAdding();
}

void JobListCommands::runEnded()
{
    m_addFiles.addHeldRows();
}

void JobListCommands::outputPlaylist()
{
    PlaylistExport::run(m_widgets.jobs, &m_widgets.window);
}

bool JobListCommands::refuseWhilePlaying()
{
    if (!m_activity.isPlaying())
        return false;
    Platform::instance().messageBox(QString::fromLatin1(StopPlayingMessage),
                                    QStringLiteral("Tonewright"), MessageButtons::OkCancel,
                                    MessageIcon::Information, &m_widgets.window);
    return true;
}

void JobListCommands::setSelectedCount(qint64 count)
{
    m_widgets.StatusBar1.setPanelText(2, SelectedFilesText(count));
}

void JobListCommands::showSelectedCount()
{
    setSelectedCount(m_widgets.jobs.checkedCount());
}

void JobListCommands::clearAll()
{
    if (refuseWhilePlaying())
        return;
    m_widgets.jobs.clearAll();
    setSelectedCount(0);
    m_focus.CurrentFile.clear();
    if (m_tagEditor.isOpen())
        m_tagEditor.LeaveTagMode();
}

void JobListCommands::removeChecked()
{
    if (refuseWhilePlaying())
        return;
    m_widgets.jobs.removeChecked();
    setSelectedCount(0);
    if (m_tagEditor.isOpen())
        m_tagEditor.LeaveTagMode();
}

void JobListCommands::selectAll()
{
    if (m_widgets.jobs.count() == 0)
        return;
    setSelectedCount(m_widgets.jobs.selectAll());
}

void JobListCommands::selectNone()
{
    if (m_widgets.jobs.count() == 0)
        return;
    setSelectedCount(m_widgets.jobs.selectNone());
}

void JobListCommands::invertSelection()
{
    if (m_widgets.jobs.count() == 0)
        return;
    setSelectedCount(m_widgets.jobs.invertSelection());
}

// --- List events --------------------------------------------------------------------------

void JobListCommands::checkBoxChanged(int row, bool checked)
{
    m_widgets.jobs.setStatus(row,
                             QString::fromLatin1(checked ? JobStatus::Ready : JobStatus::Waitting));
    showSelectedCount();
}

void JobListCommands::columnHeaderClicked(int column)
{
    m_widgets.jobs.headerClicked(column);
}

void JobListCommands::updateSortIndicator()
{
    QHeaderView *header = m_widgets.viewEvent.header();
    header->setSortIndicatorShown(m_widgets.jobs.isSorted());
    if (m_widgets.jobs.isSorted())
        header->setSortIndicator(m_widgets.jobs.sortKey(), m_widgets.jobs.sortOrder());
}

void JobListCommands::mouseMoved(const QPoint &position)
{
    const QModelIndex at = m_widgets.viewEvent.indexAt(position);
    const qint64 row = at.isValid() ? at.row() + 1 : 0;
    if (row == m_focus.HoverRow)
        return;
    m_focus.HoverRow = row;
    if (row == 0)
        emit hoverCleared();
}

void JobListCommands::mousePressed(Qt::MouseButton button, const QPoint &position)
{
    if (button != Qt::RightButton)
        return;
    // The popup acts on the row it was opened on.
    if (m_focus.HoverRow > 0 && m_focus.HoverRow <= m_widgets.jobs.count())
        makeCurrent(int(m_focus.HoverRow - 1));
    emit popupRequested(&m_widgets.rightmenu,
                        m_widgets.viewEvent.viewport()->mapToGlobal(position));
}

void JobListCommands::rowClicked()
{
    if (m_focus.HoverRow == 0)
        return;
    const int row = int(m_focus.HoverRow - 1);
    if (row >= m_widgets.jobs.count())
        return;
    makeCurrent(row);
}

void JobListCommands::makeCurrent(int row)
{
    const QString path = m_widgets.jobs.fullPath(row);
    m_focus.CurrentFile = path;
    m_widgets.StatusBar1.setPanelText(1, path);
    if (m_tagEditor.isOpen())
        m_tagEditor.LoadTags(path);
    m_current = m_widgets.jobs.index(row, 0);
    m_tracking = true;
    m_focus.intCurItem = row + 1;
}

void JobListCommands::followCurrentRow()
{
    if (!m_tracking)
        return;
    if (m_current.isValid()) {
        m_focus.intCurItem = m_current.row() + 1;
        return;
    }
    // The current row has gone: no later command may act on the file it named.
    m_tracking = false;
    m_focus.intCurItem = 0;
    m_focus.CurrentFile.clear();
}

void JobListCommands::doubleClicked()
{
    EnterTagMode();
}

void JobListCommands::EnterTagMode()
{
    // HoverRow may still name a row that has been removed since.
    if (m_focus.HoverRow <= 0 || m_focus.HoverRow > m_widgets.jobs.count())
        return;
    m_focus.CurrentFile = m_widgets.jobs.fullPath(int(m_focus.HoverRow - 1));
    m_tagEditor.EnterTagMode(m_focus.CurrentFile);
}

bool JobListCommands::filesDropped(const QMimeData *data)
{
    return m_addFiles.drop(data);
}

void JobListCommands::addPaths(const QStringList &paths)
{
    m_addFiles.addPaths(paths);
}

bool JobListCommands::keyEvent(QEvent *event)
{
    QTreeView &view = m_widgets.viewEvent;
    const int row = view.currentIndex().row();
    if (event->type() == QEvent::ContextMenu) {
        // Menu or Shift+F10: the popup for the current row, below it.
        if (static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Mouse)
            return false;
        QPoint at(view.viewport()->width() / 4, 0);
        if (row >= 0) {
            makeCurrent(row);
            at = view.visualRect(view.currentIndex()).bottomLeft() + QPoint(at.x(), 0);
        }
        emit popupRequested(&m_widgets.rightmenu, view.viewport()->mapToGlobal(at));
        return true;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    switch (static_cast<QKeyEvent *>(event)->key()) {
    case Qt::Key_Space:
        if (row >= 0) {
            const QModelIndex tick = m_widgets.jobs.index(row, int(JobColumn::Res));
            m_widgets.jobs.setData(tick,
                                   m_widgets.jobs.isChecked(row) ? Qt::Unchecked : Qt::Checked,
                                   Qt::CheckStateRole);
        }
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        // The view moves its current row first; the list's current file follows it, as
        // after a click.
        QMetaObject::invokeMethod(
            this,
            [this] {
                const int moved = m_widgets.viewEvent.currentIndex().row();
                if (moved >= 0 && (!m_tracking || moved != m_current.row()))
                    makeCurrent(moved);
            },
            Qt::QueuedConnection);
        return false;
    default:
        return false;
    }
}

bool JobListCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_widgets.viewEvent)
        return keyEvent(event) || QObject::eventFilter(watched, event);
    if (watched != m_widgets.viewEvent.viewport())
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseMove:
        mouseMoved(static_cast<QMouseEvent *>(event)->position().toPoint());
        break;
    case QEvent::MouseButtonPress: {
        const auto *press = static_cast<QMouseEvent *>(event);
        mouseMoved(press->position().toPoint());
        mousePressed(press->button(), press->position().toPoint());
        break;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDropEvent *>(event);
        if (!drag->mimeData()->hasUrls())
            return false;
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        filesDropped(drop->mimeData());
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
