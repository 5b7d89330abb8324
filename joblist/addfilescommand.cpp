#include "joblist/addfilescommand.h"

#include "joblist/audioextensions.h"
#include "joblist/formatting.h"
#include "joblist/joblistmodel.h"
#include "joblist/joblistwidgets.h"
#include "joblist/playlistfile.h"
#include "platform/platform.h"
#include "settings/outputoptions.h"
#include "ui/statusbar.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

namespace {

bool isPlaylistName(const QString &path)
{
    return path.endsWith(QLatin1String(".m3u"), Qt::CaseInsensitive) ||
           path.endsWith(QLatin1String(".pls"), Qt::CaseInsensitive);
}

} // namespace

AddFilesCommand::AddFilesCommand(JobListWidgets &widgets, AudioProbe &probe, OutputOptions &options,
                                 std::function<bool()> holdRows)
    : m_widgets(widgets)
    , m_options(options)
    , m_adder(widgets.jobs, probe)
    , m_holdRows(std::move(holdRows))
    , m_scan(probe.another())
    , m_escape(new QShortcut(QKeySequence(Qt::Key_Escape), &widgets.window))
{
    m_escape->setEnabled(false);
    QObject::connect(m_escape, &QShortcut::activated, &m_scan, [this] { stopAdding(); });
    QObject::connect(
        &m_scan, &FolderScan::batchRead, &m_scan,
        [this](const QList<FolderScan::File> &files, int found) { rowsRead(files, found); });
    QObject::connect(&m_scan, &FolderScan::finished, &m_scan,
                     [this](const QStringList &unreadable) { scanFinished(unreadable); });
}

AddFilesCommand::~AddFilesCommand()
{
    delete m_escape; // the window outlives the command
}

QString AddFilesCommand::sourceFilter()
{
    // The five first entries name the classic kinds; "All Supported formats" lists every
    // kind the engine decodes, after the patterns it has always had.
    QString all = QStringLiteral("*.mp3;*.avi;*.mpg;*.rm;*.ra;*.mpeg;*.wav;*.mpeg;*.ogg;*.wma");
    for (const QString &ending : AudioExtensions::decodable()) {
        const QString pattern = QStringLiteral("*.") + ending;
        if (!all.split(QLatin1Char(';')).contains(pattern))
            all += QLatin1Char(';') + pattern;
    }
    return QStringLiteral("Wav files (*.wav)|*.wav|"
                          "MPEG files (*.mp3;*.mp2;*.mp1;*.mpeg)|*.mp3;*.mp2;*.mp1;*.mpeg|"
                          "Ogg Vorbis files (*.ogg)|*.ogg|"
                          "WMA files (*.wma)|*.wma|"
                          "Playlist files (*.M3U;*.PLS)|*.M3U;*.PLS|"
                          "All Supported formats (*.mp3;*.wav;*.mpeg;*.ogg;*.wma)|") +
           all + QStringLiteral("|All files (*)|*");
}

bool AddFilesCommand::acceptedOnDrop(const QString &path)
{
    return AudioExtensions::isDecodable(path);
}

FileAdder::Destination AddFilesCommand::destination() const
{
    FileAdder::Destination destination;
    destination.intoSourceFolder = m_options.convertIntoSourceFolder();
    destination.outputFolder = m_widgets.txtFolder.text();
    destination.keepFolders = m_options.keepFolderStructure();
    return destination;
}

void AddFilesCommand::showSelectedCount()
{
    m_widgets.StatusBar1.setPanelText(2, SelectedFilesText(m_widgets.jobs.checkedCount()));
}

void AddFilesCommand::run()
{
    OpenFilesRequest request;
    request.title = QStringLiteral("Open Source files");
    request.filter = sourceFilter();
    request.selectedFilter = SourceFilterIndex;
    request.multiSelect = true;
    request.owner = &m_widgets.window;
    const QStringList picked = Platform::instance().openFiles(request);
    if (picked.isEmpty())
        return;

    m_adder.prepare();
    // Only a single pick can be a playlist; the names of a multiple pick are all audio.
    if (picked.size() == 1 && isPlaylistName(picked.first())) {
        importPlaylist(picked.first());
        showSelectedCount();
        return;
    }

    const LengthForm form = picked.size() == 1 ? LengthForm::Plain : LengthForm::Padded;
    const FileAdder::Destination where = destination();
    for (const QString &path : picked)
        m_adder.addFile(path, form, where);

    if (where.intoSourceFolder && m_widgets.jobs.count() > 0)
        m_widgets.txtFolder.setText(QFileInfo(picked.first()).absolutePath());
    showSelectedCount();
}

void AddFilesCommand::importPlaylist(const QString &path)
{
    const FileAdder::Destination where = destination();
    QString why;
    const QStringList files = PlaylistFile::read(path, &why);
    if (!why.isEmpty()) {
        ShowWarning(QStringLiteral("The playlist cannot be imported: %1").arg(why),
                    &m_widgets.window);
        return;
    }
    int added = 0;
    for (const QString &file : files)
        added += m_adder.addFile(file, LengthForm::Plain, where) ? 1 : 0;
    if (added == 0)
        ShowWarning(QStringLiteral("The playlist %1 lists no file that can be added.")
                        .arg(QFileInfo(path).fileName()),
                    &m_widgets.window);
}

bool AddFilesCommand::drop(const QMimeData *data)
{
    if (!data || !data->hasUrls()) {
        m_adder.prepare();
        return false;
    }
    QStringList paths;
    for (const QUrl &url : data->urls()) {
        const QString path = url.toLocalFile();
        if (url.isLocalFile() && (acceptedOnDrop(path) || QFileInfo(path).isDir()))
            paths << path;
    }
    addPaths(paths);
    return true;
}

void AddFilesCommand::addPaths(const QStringList &paths)
{
    m_adder.prepare();
    const FileAdder::Destination where = destination();
    for (const QString &path : paths) {
        if (QFileInfo(path).isDir())
            addFolder(path);
        else
            m_adder.addFile(path, LengthForm::Padded, where);
    }
    showSelectedCount();
}

void AddFilesCommand::pickFolder()
{
    const QString folder = BrowseForFolder(QStringLiteral("Add Folder"), &m_widgets.window);
    if (folder.isEmpty() || folder == QLatin1String(CanceledFolderPick))
        return;
    addFolder(folder);
}

void AddFilesCommand::addFolder(const QString &folder)
{
    m_escape->setEnabled(true);
    m_scan.add(QDir::cleanPath(QFileInfo(folder).absoluteFilePath()));
}

void AddFilesCommand::stopAdding()
{
    m_scan.stop();
}

void AddFilesCommand::rowsRead(const QList<FolderScan::File> &files, int found)
{
    m_held += files;
    if (!rowsHeld())
        m_widgets.StatusBar1.setPanelText(
            4, QStringLiteral("Adding folder: %1 files found (Esc stops)").arg(found));
    addHeldRows();
}

void AddFilesCommand::addHeldRows()
{
    if (rowsHeld() || m_held.isEmpty())
        return;
    const FileAdder::Destination where = destination();
    for (const FolderScan::File &file : std::exchange(m_held, {}))
        m_adder.addRead(file.path, file.facts, LengthForm::Padded, where, file.root);
    showSelectedCount();
}

void AddFilesCommand::scanFinished(const QStringList &unreadable)
{
    m_escape->setEnabled(false);
    if (!rowsHeld())
        m_widgets.StatusBar1.setPanelText(4, QStringLiteral("Status: Idle"));
    if (unreadable.isEmpty())
        return;
    QStringList shown;
    for (const QString &folder : unreadable)
        shown << QDir::toNativeSeparators(folder);
    ShowWarning(QStringLiteral("These folders could not be read, so the files in them were not "
                               "added:\n\n%1")
                    .arg(shown.join(QLatin1Char('\n'))),
                &m_widgets.window);
}
