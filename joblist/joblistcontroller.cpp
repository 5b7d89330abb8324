#include "joblist/joblistcontroller.h"

#include "ui/statusbar.h"
#include "joblist/joblistmodel.h"
#include "joblist/playlistexport.h"
#include "platform/platform.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTreeView>

JobListController::JobListController(JobListWiring wiring, QObject *parent)
    : QObject(parent)
    , m_wiring(std::move(wiring))
    , m_addFiles(m_wiring)
{
    connect(m_wiring.jobs, &JobListModel::itemCheck, this, &JobListController::checkBoxChanged);
}

// The view forgets this event filter by itself when the controller goes.
JobListController::~JobListController() = default;

void JobListController::attachView()
{
    QTreeView *view = m_wiring.viewEvent;
    if (!view)
        return;
    if (view->model() != m_wiring.jobs)
        view->setModel(m_wiring.jobs);
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
    connect(header, &QHeaderView::sectionClicked, this, &JobListController::columnHeaderClicked);
    connect(view, &QTreeView::clicked, this, [this] { rowClicked(); });
    connect(view, &QTreeView::doubleClicked, this, [this] { doubleClicked(); });
    connect(m_wiring.jobs, &JobListModel::sortingChanged, this,
            &JobListController::updateSortIndicator);
}

// --- Commands -----------------------------------------------------------------------------

void JobListController::addFiles()
{
    m_addFiles.run();
}

void JobListController::outputPlaylist()
{
    PlaylistExport::run(*m_wiring.jobs, m_wiring.window);
}

bool JobListController::refuseWhilePlaying()
{
    if (!m_wiring.IsPlaying || !*m_wiring.IsPlaying)
        return false;
    Platform::instance().messageBox(QString::fromLatin1(StopPlayingMessage),
                                    QStringLiteral("Tonewright"), MessageButtons::OkCancel,
                                    MessageIcon::Information, m_wiring.window);
    return true;
}

bool JobListController::tagEditorOpen() const
{
    return m_wiring.tagEditorOpen && m_wiring.tagEditorOpen();
}

void JobListController::setSelectedCount(qint64 count)
{
    if (m_wiring.StatusBar1)
        m_wiring.StatusBar1->setPanelText(2, QStringLiteral("Total Selected Files: ") +
                                                 QString::number(count));
}

void JobListController::showSelectedCount()
{
    setSelectedCount(m_wiring.jobs->checkedCount());
}

void JobListController::clearAll()
{
    if (refuseWhilePlaying())
        return;
    m_wiring.jobs->clearAll();
    setSelectedCount(0);
    if (m_wiring.CurrentFile)
        m_wiring.CurrentFile->clear();
    if (tagEditorOpen() && m_wiring.LeaveTagMode)
        m_wiring.LeaveTagMode();
}

void JobListController::removeChecked()
{
    if (refuseWhilePlaying())
        return;
    m_wiring.jobs->removeChecked();
    setSelectedCount(0);
    if (tagEditorOpen() && m_wiring.LeaveTagMode)
        m_wiring.LeaveTagMode();
}

void JobListController::selectAll()
{
    if (m_wiring.jobs->count() == 0)
        return;
    setSelectedCount(m_wiring.jobs->selectAll());
}

void JobListController::selectNone()
{
    if (m_wiring.jobs->count() == 0)
        return;
    setSelectedCount(m_wiring.jobs->selectNone());
}

void JobListController::invertSelection()
{
    if (m_wiring.jobs->count() == 0)
        return;
    setSelectedCount(m_wiring.jobs->invertSelection());
}

// --- List events --------------------------------------------------------------------------

void JobListController::checkBoxChanged(int row, bool checked)
{
    m_wiring.jobs->setStatus(row,
                             QString::fromLatin1(checked ? JobStatus::Ready : JobStatus::Waitting));
    showSelectedCount();
}

void JobListController::columnHeaderClicked(int column)
{
    m_wiring.jobs->headerClicked(column);
}

void JobListController::updateSortIndicator()
{
    if (!m_wiring.viewEvent)
        return;
    QHeaderView *header = m_wiring.viewEvent->header();
    header->setSortIndicatorShown(m_wiring.jobs->isSorted());
    if (m_wiring.jobs->isSorted())
        header->setSortIndicator(m_wiring.jobs->sortKey(), m_wiring.jobs->sortOrder());
}

void JobListController::mouseMoved(const QPoint &position)
{
    if (!m_wiring.viewEvent || !m_wiring.HoverRow)
        return;
    const QModelIndex at = m_wiring.viewEvent->indexAt(position);
    const qint64 row = at.isValid() ? at.row() + 1 : 0;
    if (row == *m_wiring.HoverRow)
        return;
    *m_wiring.HoverRow = row;
    if (row == 0 && m_wiring.destroyTooltip)
        m_wiring.destroyTooltip();
}

void JobListController::mousePressed(Qt::MouseButton button, const QPoint &position)
{
    if (button != Qt::RightButton || !m_wiring.rightmenu || !m_wiring.viewEvent)
        return;
    const QPoint at = m_wiring.viewEvent->viewport()->mapToGlobal(position);
    if (m_wiring.popupMenu)
        m_wiring.popupMenu(m_wiring.rightmenu, at);
    else
        m_wiring.rightmenu->popup(at);
}

void JobListController::rowClicked()
{
    if (!m_wiring.HoverRow || *m_wiring.HoverRow == 0)
        return;
    const int row = int(*m_wiring.HoverRow - 1);
    if (row >= m_wiring.jobs->count())
        return;
    const QString path = m_wiring.jobs->fullPath(row);
    if (m_wiring.CurrentFile)
        *m_wiring.CurrentFile = path;
    if (m_wiring.StatusBar1)
        m_wiring.StatusBar1->setPanelText(1, path);
    if (tagEditorOpen() && m_wiring.LoadTags)
        m_wiring.LoadTags(path);
    if (m_wiring.intCurItem)
        *m_wiring.intCurItem = *m_wiring.HoverRow;
}

void JobListController::doubleClicked()
{
    if (m_wiring.EnterTagMode)
        m_wiring.EnterTagMode();
}

bool JobListController::filesDropped(const QMimeData *data)
{
    return m_addFiles.drop(data);
}

bool JobListController::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_wiring.viewEvent || watched != m_wiring.viewEvent->viewport())
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
