#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <array>
#include <map>
#include <vector>

// Columns of the job list. Other subsystems address cells by these numbers ("sub-items"):
// the file name is 1, length 2, size 3, "From..." folder 4, "Save to..." folder 5, status 6
// and the always empty column 7. Column 0 carries only the row's check box.
enum class JobColumn : int {
    Res = 0,
    Name = 1,
    Length = 2,
    Size = 3,
    From = 4,
    SaveTo = 5,
    Status = 6,
    FormatString = 7,
};

// The status words shown in the "Status" column, spelled as the user sees them.
namespace JobStatus {
inline constexpr const char *Ready = "Ready";
inline constexpr const char *Waitting = "Waitting";
inline constexpr const char *Converting = "Converting";
inline constexpr const char *Finished = "Finished";
inline constexpr const char *Playing = "Playing";
inline constexpr const char *Pause = "Pause";
// A conversion run could not convert the row's file; the row stays ticked for another try.
inline constexpr const char *Failed = "Failed";
} // namespace JobStatus

// The job list: the rows behind `viewEvent` and the only store of the run. Rows are 0-based
// here (the window's HoverRow, intCurItem and intPlaying are 1-based positions). The check box
// of a row, not its status word, decides what a conversion run takes.
class JobListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int ColumnCount = 8;
    // The Status cell's share done (0..100) while a run converts the row beside others;
    // no value otherwise.
    static constexpr int ProgressRole = Qt::UserRole + 1;

    explicit JobListModel(QObject *parent = nullptr);
    ~JobListModel() override;

    // Column metadata: the header text, the width.
    static QString columnHeader(int column);
    static int columnWidthTwips(int column);
    static int columnWidth(int column); // pixels

    // Adds a checked "Ready" row unless `name` is the beginning of any cell text of columns
    // 1 to 7 of a listed row (so the same file name from another folder is refused too).
    // True when a row was added. While the list is sorted the row goes to its sorted place.
    // `root` is the folder the file was added with (its own folder when empty): rows from
    // different folders below one added folder keep their places in its structure, so they
    // are compared only with the rows of their own folder below it.
    bool AddJobRow(const QString &name, const QString &length, const QString &size,
                   const QString &from, const QString &saveTo, const QString &root = {});
    // The duplicate test of AddJobRow among the rows of `subfolder` ("" for the rows that lie
    // directly in their root).
    bool isListed(const QString &name, const QString &subfolder = {}) const;
    // The folder the row's file was added with.
    QString root(int row) const;
    // The "Save to..." folder of a file in `from` added with `root`: `from` itself when
    // `intoSourceFolder`, else `outputFolder`, below it in `from`'s folder relative to `root`
    // when `keepFolders`.
    static QString saveToFor(const QString &from, const QString &root, bool intoSourceFolder,
                             const QString &outputFolder, bool keepFolders);
    // Sets the "Save to..." column of every row by saveToFor().
    void rewriteSaveTo(bool intoSourceFolder, const QString &outputFolder, bool keepFolders);

    int count() const { return int(m_rows.size()); }
    QString text(int row, JobColumn column) const;
    void setText(int row, JobColumn column, const QString &text);
    QString status(int row) const { return text(row, JobColumn::Status); }
    void setStatus(int row, const QString &word) { setText(row, JobColumn::Status, word); }
    bool isChecked(int row) const;
    // Changes the tick only; the status word is left alone and itemCheck is not emitted.
    void setChecked(int row, bool checked);
    // The row's "From..." folder joined with its file name by a single separator.
    QString fullPath(int row) const;
    // Every row's full path in list order.
    QStringList fullPaths() const;
    qint64 checkedCount() const;
    // The file the last run wrote for the row ("" when none has been converted since it
    // was added): "Play Converted File" plays it.
    QString convertedFile(int row) const;
    void setConvertedFile(int row, const QString &path);
    // The row's progress (ProgressRole); -1 takes it away.
    void setProgress(int row, int percent);

    // List operations. The selection operations set the status words that follow the tick
    // and return the number for the selection counter; on an empty list they change nothing.
    void clearAll();
    void removeChecked();
    qint64 selectAll();
    qint64 selectNone();
    qint64 invertSelection();

    // Sorting state: a 0-based sort column, a direction and a switch, as the list keeps it.
    int sortKey() const { return m_sortKey; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }
    bool isSorted() const { return m_sorted; }
    // A click on the header of `column` (0-based): flips the direction of an unchanged column
    // (re-sorting only when sorting is on), otherwise sorts ascending by the new column.
    void headerClicked(int column);
    // Sets the state and, when `sorted`, sorts; texts compare as text, ignoring case.
    void setSorting(int column, Qt::SortOrder order, bool sorted);

    // QAbstractItemModel
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Removes `count` rows from `row` on (removeRow() takes one).
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

signals:
    // The user ticked or unticked a row's check box (through the view).
    void itemCheck(int row, bool checked);
    // Sorting state changed (for the header's indicator).
    void sortingChanged();

private:
    struct Row
    {
        bool checked = true;
        std::array<QString, ColumnCount> cells;
        QString converted;
        int progress = -1;
        QString root;
        QString subfolder; // the From folder below the root; the duplicate test's scope
    };

    static QString indexKey(const QString &subfolder, const QString &text);
    void indexRow(const Row &row);
    void unindexRow(const Row &row);
    void indexCell(const QString &subfolder, const QString &text);
    void unindexCell(const QString &subfolder, const QString &text);
    void sortRows();
    int sortedInsertPosition(const Row &row) const;
    bool rowLess(const Row &a, const Row &b) const;

    std::vector<Row> m_rows;
    // Every cell text of columns 1..7 after its row's subfolder and a NUL, with its number of
    // occurrences, ordered so that all texts beginning with a given prefix are neighbours:
    // the duplicate test is a lookup.
    std::map<QString, int> m_cellIndex;
    int m_sortKey = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_sorted = false;
};
