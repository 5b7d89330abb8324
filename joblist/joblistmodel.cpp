#include "joblist/joblistmodel.h"

#include "platform/paths.h"
#include "ui/twips.h"

#include <QDir>

#include <algorithm>
#include <numeric>

namespace {

struct ColumnInfo
{
    const char *header;
    int twips;
};

constexpr std::array<ColumnInfo, JobListModel::ColumnCount> Columns{{
    {"#", 621},
    {"File Name", 4586},
    {"Length", 1677},
    {"Size", 1305},
    {"From...", 4304},
    {"Save to...", 4039},
    {"Status", 1871},
    {"FormatString", 2},
}};

constexpr int col(JobColumn column)
{
    return int(column);
}

bool validColumn(int column)
{
    return column >= 0 && column < JobListModel::ColumnCount;
}

} // namespace

JobListModel::JobListModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

JobListModel::~JobListModel() = default;

QString JobListModel::columnHeader(int column)
{
    return validColumn(column) ? QString::fromLatin1(Columns[column].header) : QString();
}

int JobListModel::columnWidthTwips(int column)
{
    return validColumn(column) ? Columns[column].twips : 0;
}

int JobListModel::columnWidth(int column)
{
    return Twips::toPixels(columnWidthTwips(column));
}

// --- The duplicate index ------------------------------------------------------------------

QString JobListModel::indexKey(const QString &subfolder, const QString &text)
{
    return subfolder + QChar(0) + text;
}

void JobListModel::indexCell(const QString &subfolder, const QString &text)
{
    ++m_cellIndex[indexKey(subfolder, text)];
}

void JobListModel::unindexCell(const QString &subfolder, const QString &text)
{
    const auto it = m_cellIndex.find(indexKey(subfolder, text));
    if (it != m_cellIndex.end() && --it->second == 0)
        m_cellIndex.erase(it);
}

void JobListModel::indexRow(const Row &row)
{
    for (int c = col(JobColumn::Name); c < ColumnCount; ++c)
        indexCell(row.subfolder, row.cells[c]);
}

void JobListModel::unindexRow(const Row &row)
{
    for (int c = col(JobColumn::Name); c < ColumnCount; ++c)
        unindexCell(row.subfolder, row.cells[c]);
}

bool JobListModel::isListed(const QString &name, const QString &subfolder) const
{
    // Texts that begin with `name` sort right at or after it.
    const QString key = indexKey(subfolder, name);
    const auto it = m_cellIndex.lower_bound(key);
    return it != m_cellIndex.end() && it->first.startsWith(key);
}

// --- Rows ---------------------------------------------------------------------------------

bool JobListModel::AddJobRow(const QString &name, const QString &length, const QString &size,
                             const QString &from, const QString &saveTo, const QString &root)
{
    const QString subfolder = Paths::relativeFolder(from, root);
    if (isListed(name, subfolder))
        return false;
    Row row;
    row.root = root.isEmpty() ? from : root;
    row.subfolder = subfolder;
    row.checked = true;
    row.cells[col(JobColumn::Name)] = name;
    row.cells[col(JobColumn::Length)] = length;
    row.cells[col(JobColumn::Size)] = size;
    row.cells[col(JobColumn::From)] = from;
    row.cells[col(JobColumn::SaveTo)] = saveTo;
    row.cells[col(JobColumn::Status)] = QString::fromLatin1(JobStatus::Ready);

    const int position = m_sorted ? sortedInsertPosition(row) : count();
    beginInsertRows(QModelIndex(), position, position);
    indexRow(row);
    m_rows.insert(m_rows.begin() + position, std::move(row));
    endInsertRows();
    return true;
}

QString JobListModel::text(int row, JobColumn column) const
{
    if (row < 0 || row >= count() || !validColumn(col(column)))
        return {};
    return m_rows[size_t(row)].cells[col(column)];
}

void JobListModel::setText(int row, JobColumn column, const QString &text)
{
    const int c = col(column);
    if (row < 0 || row >= count() || !validColumn(c))
        return;
    QString &cell = m_rows[size_t(row)].cells[c];
    if (cell == text)
        return;
    if (c != col(JobColumn::Res)) {
        const QString &subfolder = m_rows[size_t(row)].subfolder;
        unindexCell(subfolder, cell);
        indexCell(subfolder, text);
    }
    cell = text;
    const QModelIndex changed = index(row, c);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
}

bool JobListModel::isChecked(int row) const
{
    return row >= 0 && row < count() && m_rows[size_t(row)].checked;
}

void JobListModel::setChecked(int row, bool checked)
{
    if (row < 0 || row >= count() || m_rows[size_t(row)].checked == checked)
        return;
    m_rows[size_t(row)].checked = checked;
    const QModelIndex changed = index(row, 0);
    emit dataChanged(changed, changed, {Qt::CheckStateRole});
}

QString JobListModel::root(int row) const
{
    return row >= 0 && row < count() ? m_rows[size_t(row)].root : QString();
}

QString JobListModel::saveToFor(const QString &from, const QString &root, bool intoSourceFolder,
                                const QString &outputFolder, bool keepFolders)
{
    if (intoSourceFolder)
        return from;
    return keepFolders ? Paths::folderBelow(outputFolder, Paths::relativeFolder(from, root))
                       : outputFolder;
}

void JobListModel::rewriteSaveTo(bool intoSourceFolder, const QString &outputFolder,
                                 bool keepFolders)
{
    for (int row = 0; row < count(); ++row) {
        const Row &r = m_rows[size_t(row)];
        setText(row, JobColumn::SaveTo,
                saveToFor(r.cells[col(JobColumn::From)], r.root, intoSourceFolder, outputFolder,
                          keepFolders));
    }
}

QString JobListModel::fullPath(int row) const
{
    const QString folder = text(row, JobColumn::From);
    const QString name = text(row, JobColumn::Name);
    if (folder.isEmpty() || folder.endsWith(u'/') || folder.endsWith(QDir::separator()))
        return folder + name;
    return folder + u'/' + name;
}

QStringList JobListModel::fullPaths() const
{
    QStringList paths;
    paths.reserve(count());
    for (int row = 0; row < count(); ++row)
        paths.append(fullPath(row));
    return paths;
}

qint64 JobListModel::checkedCount() const
{
    return std::count_if(m_rows.begin(), m_rows.end(), [](const Row &r) { return r.checked; });
}

// --- List operations ----------------------------------------------------------------------

void JobListModel::clearAll()
{
    beginResetModel();
    m_rows.clear();
    m_cellIndex.clear();
    endResetModel();
}

void JobListModel::removeChecked()
{
    // Consecutive checked rows leave in one step; positions behind them move up.
    int row = 0;
    while (row < count()) {
        if (!m_rows[size_t(row)].checked) {
            ++row;
            continue;
        }
        int last = row;
        while (last + 1 < count() && m_rows[size_t(last + 1)].checked)
            ++last;
        beginRemoveRows(QModelIndex(), row, last);
        for (int r = row; r <= last; ++r)
            unindexRow(m_rows[size_t(r)]);
        m_rows.erase(m_rows.begin() + row, m_rows.begin() + last + 1);
        endRemoveRows();
    }
}

bool JobListModel::removeRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || row < 0 || count <= 0 || row + count > this->count())
        return false;
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    for (int r = row; r < row + count; ++r)
        unindexRow(m_rows[size_t(r)]);
    m_rows.erase(m_rows.begin() + row, m_rows.begin() + row + count);
    endRemoveRows();
    return true;
}

qint64 JobListModel::selectAll()
{
    for (int row = 0; row < count(); ++row) {
        setChecked(row, true);
        setStatus(row, QString::fromLatin1(JobStatus::Ready));
    }
    return count();
}

qint64 JobListModel::selectNone()
{
    for (int row = 0; row < count(); ++row) {
        setChecked(row, false);
        setStatus(row, QString::fromLatin1(JobStatus::Waitting));
    }
    return 0;
}

qint64 JobListModel::invertSelection()
{
    qint64 nowChecked = 0;
    for (int row = 0; row < count(); ++row) {
        const bool check = !isChecked(row);
        setChecked(row, check);
        setStatus(row, QString::fromLatin1(check ? JobStatus::Ready : JobStatus::Waitting));
        if (check)
            ++nowChecked;
    }
    return nowChecked;
}

// --- Sorting ------------------------------------------------------------------------------

bool JobListModel::rowLess(const Row &a, const Row &b) const
{
    // The same order as sortRows: texts compared with their case folded.
    const int c = validColumn(m_sortKey) ? m_sortKey : 0;
    const int order = a.cells[c].toCaseFolded().compare(b.cells[c].toCaseFolded());
    return m_sortOrder == Qt::AscendingOrder ? order < 0 : order > 0;
}

int JobListModel::sortedInsertPosition(const Row &row) const
{
    const auto it = std::upper_bound(m_rows.begin(), m_rows.end(), row,
                                     [this](const Row &a, const Row &b) { return rowLess(a, b); });
    return int(it - m_rows.begin());
}

void JobListModel::sortRows()
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Fold the case of every key once, so the comparisons are plain code-unit compares.
    const int c = validColumn(m_sortKey) ? m_sortKey : 0;
    std::vector<QString> keys;
    keys.reserve(m_rows.size());
    for (const Row &row : m_rows)
        keys.push_back(row.cells[c].toCaseFolded());
    std::vector<int> order(m_rows.size());
    std::iota(order.begin(), order.end(), 0);
    const bool ascending = m_sortOrder == Qt::AscendingOrder;
    std::stable_sort(order.begin(), order.end(), [&keys, ascending](int a, int b) {
        return ascending ? keys[size_t(a)] < keys[size_t(b)] : keys[size_t(b)] < keys[size_t(a)];
    });

    std::vector<Row> sorted;
    sorted.reserve(m_rows.size());
    std::vector<int> newPosition(m_rows.size());
    for (size_t i = 0; i < order.size(); ++i) {
        sorted.push_back(std::move(m_rows[size_t(order[i])]));
        newPosition[size_t(order[i])] = int(i);
    }
    m_rows = std::move(sorted);

    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &old : before)
        after.append(index(newPosition[size_t(old.row())], old.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void JobListModel::setSorting(int column, Qt::SortOrder order, bool sorted)
{
    m_sortKey = validColumn(column) ? column : 0;
    m_sortOrder = order;
    m_sorted = sorted;
    if (m_sorted)
        sortRows();
    emit sortingChanged();
}

void JobListModel::headerClicked(int column)
{
    if (column == m_sortKey) {
        const Qt::SortOrder flipped =
            m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
        setSorting(m_sortKey, flipped, m_sorted);
        return;
    }
    setSorting(column, Qt::AscendingOrder, true);
}

void JobListModel::sort(int column, Qt::SortOrder order)
{
    setSorting(column, order, true);
}

// --- QAbstractItemModel -------------------------------------------------------------------

int JobListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

int JobListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant JobListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= count() || !validColumn(index.column()))
        return {};
    const Row &row = m_rows[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return row.cells[index.column()];
    case Qt::CheckStateRole:
        if (index.column() == col(JobColumn::Res))
            return row.checked ? Qt::Checked : Qt::Unchecked;
        return {};
    case ProgressRole:
        if (index.column() == col(JobColumn::Status) && row.progress >= 0)
            return row.progress;
        return {};
    default:
        return {};
    }
}

bool JobListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.row() >= count() || role != Qt::CheckStateRole ||
        index.column() != col(JobColumn::Res))
        return false;
    const bool checked = value.toInt() == Qt::Checked;
    if (checked == isChecked(index.row()))
        return true;
    setChecked(index.row(), checked);
    emit itemCheck(index.row(), checked);
    return true;
}

QVariant JobListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || !validColumn(section))
        return {};
    if (role == Qt::DisplayRole)
        return columnHeader(section);
    return {};
}

Qt::ItemFlags JobListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == col(JobColumn::Res))
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QString JobListModel::convertedFile(int row) const
{
    return row >= 0 && row < count() ? m_rows[size_t(row)].converted : QString();
}

void JobListModel::setConvertedFile(int row, const QString &path)
{
    if (row >= 0 && row < count())
        m_rows[size_t(row)].converted = path;
}

void JobListModel::setProgress(int row, int percent)
{
    if (row < 0 || row >= count() || m_rows[size_t(row)].progress == percent)
        return;
    m_rows[size_t(row)].progress = percent;
    const QModelIndex cell = index(row, col(JobColumn::Status));
    emit dataChanged(cell, cell, {ProgressRole});
}
