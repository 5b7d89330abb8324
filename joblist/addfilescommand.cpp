#include "joblist/addfilescommand.h"

#include "ui/statusbar.h"
#include "joblist/joblistmodel.h"
#include "joblist/joblistwiring.h"
#include "joblist/playlistfile.h"
#include "platform/platform.h"

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

AddFilesCommand::AddFilesCommand(JobListWiring &wiring)
    : m_wiring(wiring)
    , m_adder(*wiring.jobs, *wiring.probe)
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
    destination.intoSourceFolder =
        m_wiring.convertIntoSourceFolder && m_wiring.convertIntoSourceFolder();
    if (m_wiring.txtFolder)
        destination.outputFolder = m_wiring.txtFolder->text();
    return destination;
}

void AddFilesCommand::showSelectedCount()
{
    if (m_wiring.StatusBar1)
        m_wiring.StatusBar1->setPanelText(2, QStringLiteral("Total Selected Files: ") +
                                                 QString::number(m_wiring.jobs->checkedCount()));
}

void AddFilesCommand::run()
{
    OpenFilesRequest request;
    request.title = QStringLiteral("Open Source files");
    request.filter = sourceFilter();
    request.selectedFilter = SourceFilterIndex;
    request.multiSelect = true;
    request.owner = m_wiring.window;
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

    if (where.intoSourceFolder && m_wiring.jobs->count() > 0 && m_wiring.txtFolder)
        m_wiring.txtFolder->setText(QFileInfo(picked.first()).absolutePath());
    showSelectedCount();
}

void AddFilesCommand::importPlaylist(const QString &path)
{
    const FileAdder::Destination where = destination();
    for (const QString &file : PlaylistFile::read(path))
        m_adder.addFile(file, LengthForm::Plain, where);
}

bool AddFilesCommand::drop(const QMimeData *data)
{
    m_adder.prepare();
    if (!data || !data->hasUrls())
        return false;
    const FileAdder::Destination where = destination();
    for (const QUrl &url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        const QString path = url.toLocalFile();
        if (acceptedOnDrop(path))
            m_adder.addFile(path, LengthForm::Padded, where);
    }
    showSelectedCount();
    return true;
}
