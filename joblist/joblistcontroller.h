#pragma once

#include "joblist/addfilescommand.h"
#include "joblist/joblistwiring.h"

#include <QObject>

class QEvent;
class QMimeData;

// The operations on the list as a whole and the list's own events: clearing, removing the
// ticked rows, the selection commands, ticks, header clicks, the pointer and row clicks, the
// right-button popup and file drops.
class JobListController : public QObject
{
    Q_OBJECT
public:
    static constexpr const char *StopPlayingMessage = "Please stop playing at first   ";

    explicit JobListController(JobListWiring wiring, QObject *parent = nullptr);
    ~JobListController() override;

    JobListWiring &wiring() { return m_wiring; }

    // Sets up the view (columns, header, pointer tracking, drops) and connects its signals.
    void attachView();

    void addFiles();
    void outputPlaylist();
    void clearAll();
    void removeChecked();
    void selectAll();
    void selectNone();
    void invertSelection();

    void checkBoxChanged(int row, bool checked);
    void columnHeaderClicked(int column);
    // Pointer position in the view's viewport.
    void mouseMoved(const QPoint &position);
    void mousePressed(Qt::MouseButton button, const QPoint &position);
    void rowClicked();
    void doubleClicked();
    bool filesDropped(const QMimeData *data);

    // "Total Selected Files: " and the number of ticked rows.
    void showSelectedCount();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool refuseWhilePlaying();
    void setSelectedCount(qint64 count);
    bool tagEditorOpen() const;
    void updateSortIndicator();

    JobListWiring m_wiring;
    AddFilesCommand m_addFiles;
};
