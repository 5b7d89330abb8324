#include "joblist/addfilescommand.h"

#include "joblist/formatting.h"
#include "joblist/joblistmodel.h"
#include "joblist/joblistwidgets.h"
#include "joblist/playlistfile.h"
#include "platform/platform.h"
#include "settings/outputoptions.h"
#include "ui/statusbar.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

#include <array>

namespace {

bool isPlaylistName(const QString &path)
{
    // Only an upper-case ending marks a playlist: a lower-case one is read as audio.
    return path.endsWith(QLatin1String("M3U"), Qt::CaseSensitive) ||
           path.endsWith(QLatin1String("PLS"), Qt::CaseSensitive);
}

} // namespace

AddFilesCommand::AddFilesCommand(JobListWidgets &widgets, AudioProbe &probe, OutputOptions &options)
    : m_widgets(widgets)
    , m_options(options)
    , m_adder(widgets.jobs, probe)
{
}

QString AddFilesCommand::sourceFilter()
{
    return QStringLiteral("Wav files (*.wav)|*.wav|"
                          "MPEG files (*.mp3;*.mp2;*.mp1;*.mpeg)|*.mp3;*.mp2;*.mp1;*.mpeg|"
                          "Ogg Vorbis files (*.ogg)|*.ogg|"
                          "WMA files (*.wma)|*.wma|"
                          "Playlist files (*.M3U;*.PLS)|*.M3U;*.PLS|"
                          "All Supported formats (*.mp3;*.wav;*.mpeg;*.ogg;*.wma)|"
                          "*.mp3;*.avi;*.mpg;*.rm;*.ra;*.mpeg;*.wav;*.mpeg;*.ogg;*.wma");
}

bool AddFilesCommand::acceptedOnDrop(const QString &path)
{
    static const std::array<QLatin1String, 8> endings{
        QLatin1String("MP3"), QLatin1String("mp3"), QLatin1String("WAV"), QLatin1String("wav"),
        QLatin1String("WMA"), QLatin1String("wma"), QLatin1String("ogg"), QLatin1String("OGG")};
    const QStringView last = QStringView(path).right(3);
    for (const QLatin1String &ending : endings) {
        if (last == ending)
            return true;
    }
    return false;
}

FileAdder::Destination AddFilesCommand::destination() const
{
    FileAdder::Destination destination;
    destination.intoSourceFolder = m_options.convertIntoSourceFolder();
    destination.outputFolder = m_widgets.txtFolder.text();
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
    for (const QString &file : files)
        m_adder.addFile(file, LengthForm::Plain, where);
}

bool AddFilesCommand::drop(const QMimeData *data)
{
    if (!data || !data->hasUrls()) {
        m_adder.prepare();
        return false;
    }
    QStringList paths;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile() && acceptedOnDrop(url.toLocalFile()))
            paths << url.toLocalFile();
    }
    addPaths(paths);
    return true;
}

void AddFilesCommand::addPaths(const QStringList &paths)
{
    m_adder.prepare();
    const FileAdder::Destination where = destination();
    for (const QString &path : paths)
        m_adder.addFile(path, LengthForm::Padded, where);
    showSelectedCount();
}
