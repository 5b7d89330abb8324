#include "player/playback.h"

#include "convert/outputformat.h"
#include "convert/outputnaming.h"
#include "engine/converter.h"
#include "engine/engineerror.h"
#include "joblist/joblistmodel.h"
#include "joblist/listfocus.h"
#include "platform/platform.h"
#include "player/audioplayer.h"
#include "player/playposition.h"
#include "settings/outputoptions.h"
#include "ui/statusbar.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>

namespace {

// Engine failures during playback skip the failing step only.
template <typename F> void attempt(F &&step)
{
    try {
        step();
    } catch (const EngineError &) {
    }
}

} // namespace

Playback::Playback(PlaybackWidgets widgets, const ListFocus &focus, Converter &Reader,
                   AudioPlayer &player, OutputOptions &options, QObject *parent)
    : QObject(parent)
    , m_widgets(widgets)
    , m_focus(focus)
    , m_reader(Reader)
    , m_player(player)
    , m_options(options)
{
    connect(&m_player, &AudioPlayer::EndArrayPlay, this, &Playback::FeedNextBlock);
    connect(&m_player, &AudioPlayer::RequestOnLoadArray, this, &Playback::FeedNextBlock);
    connect(&m_player, &AudioPlayer::EndPlay, this, &Playback::StopPlayback);
    connect(&m_player, &AudioPlayer::Timer, this, &Playback::ShowProgress);
    m_widgets.cmdPlay.installEventFilter(this);
    m_widgets.slPosition.installEventFilter(this);
}

Playback::~Playback() = default;

// --- Commands -----------------------------------------------------------------------------

void Playback::PlaySource()
{
    play(m_focus.CurrentFile, false);
}

void Playback::PlayConverted()
{
    play(convertedFile(m_focus.intCurItem), true);
}

QString Playback::convertedFile(qint64 row) const
{
    const int r = int(row - 1);
    if (r < 0 || r >= m_widgets.jobs.count())
        return {};
    const QString converted = m_widgets.jobs.convertedFile(r);
    if (!converted.isEmpty())
        return converted;
    QString extension;
    for (const OutputFormat &format : OutputFormats::all()) {
        const size_t button = size_t(format.id);
        if (button < m_widgets.outputformat.size() && m_widgets.outputformat[button]->isChecked())
            extension = QLatin1String(format.extension);
    }
    if (extension.isEmpty())
        return {};
    return OutputNaming::outputPath(m_widgets.jobs.fullPath(r),
                                    m_widgets.jobs.text(r, JobColumn::SaveTo),
                                    m_options.convertIntoSourceFolder(), extension);
}

void Playback::play(const QString &file, bool converted)
{
    if (IsPlaying)
        StopPlayback();
    if (m_focus.CurrentFile.isEmpty()) {
        message(QString::fromLatin1(SelectFileMessage), QString::fromLatin1(Caption),
                MessageIcon::Information);
        return;
    }
    if (converted && (file.isEmpty() || !QFileInfo(file).isFile())) {
        // The name looked for tells the user where the converted file was expected.
        message(QString::fromLatin1(NotConvertedMessage) + QStringLiteral("\n\n") +
                    QDir::toNativeSeparators(file),
                QString::fromLatin1(Caption), MessageIcon::Information);
        return;
    }

    restorePlayingRow();
    const int row = int(m_focus.intCurItem - 1);
    m_playingRow = row >= 0 && row < m_widgets.jobs.count()
                       ? QPersistentModelIndex(m_widgets.jobs.index(row, 0))
                       : QPersistentModelIndex();

    attempt([this] { m_reader.Close(); });
    QString openError;
    try {
        m_reader.OpenRead(file);
    } catch (const EngineError &e) {
        openError = e.message();
    }
    if (m_reader.GetStatus() < 0) {
        if (converted)
            message(openError, QStringLiteral("Tonewright"), MessageIcon::None);
        return;
    }
    m_basePosition = 0;
    if (m_reader.GetLength() == 0) {
        attempt([this] { m_reader.Close(); });
        return;
    }

    m_widgets.cmdConvert.setEnabled(false);
    m_widgets.convertmenu.setEnabled(false);
    setPlayingStatus(JobStatus::Playing);
    m_widgets.StatusBar1.setPanelText(1, file);

    attempt([this] { m_player.SetFormat(m_reader.GetFormatA(), m_reader.GetFormatB()); });
    m_blockSize = m_player.GetBlockSize(4000);
    m_player.Prepare();
    if (m_player.Start() < 0) {
        // Nothing can play: the window goes back to what Stop leaves, and says why.
        const QString reason = m_player.lastError();
        StopPlayback();
        message(QStringLiteral("No sound output could be opened to play \"%1\": %2")
                    .arg(QDir::toNativeSeparators(file), reason),
                QString::fromLatin1(Caption), MessageIcon::Warning);
        return;
    }
    IsPlaying = true;
    feedTwoBlocks();
}

void Playback::FeedNextBlock()
{
    if (IsPlaying)
        queueNextBlock();
}

bool Playback::queueNextBlock()
{
    QByteArray block;
    attempt([&] { block = m_reader.ReadChunk(m_blockSize); });
    if (block.isEmpty())
        return false;
    m_player.QueueBlock(block);
    return true;
}

// Two blocks, so the second is queued before the first ends. The player reports only the end of
// what it was given: a (re)start with nothing left to play ends here.
void Playback::feedTwoBlocks()
{
    const bool queued = queueNextBlock();
    queueNextBlock();
    if (!queued)
        StopPlayback();
}

void Playback::PauseOrContinue()
{
    if (!IsPlaying)
        return;
    if (!paused) {
        m_widgets.cmdPlay.setEnabled(false);
        setPauseCaptions(QStringLiteral("Continue"));
        setPlayingStatus(JobStatus::Pause);
        paused = true;
        // Stopped first, so the count includes everything that reached the output.
        m_player.StopOutput();
        m_basePosition += m_player.GetPlayedCount();
        return;
    }
    m_widgets.cmdPlay.setEnabled(true);
    setPauseCaptions(QStringLiteral("Pause"));
    setPlayingStatus(JobStatus::Playing);
    paused = false;
    m_player.Prepare();
    attempt([this] { m_basePosition = m_reader.Seek(m_basePosition); });
    feedTwoBlocks();
}

void Playback::StopPlayback()
{
    m_player.CloseOutput();
    attempt([this] { m_reader.Close(); });
    IsPlaying = false;
    paused = false;
    m_widgets.StatusBar1.setPanelText(1, QStringLiteral("Save to '") + m_widgets.txtFolder.text() +
                                             QStringLiteral("'"));
    restorePlayingRow();
    m_widgets.StatusBar1.setPanelText(4, QStringLiteral("Status: Idle"));
    m_widgets.cmdPlay.setEnabled(true);
    m_widgets.ProgressConvert.setVisible(false);
    m_widgets.ProgressConvert2.setVisible(false);
    m_widgets.ProgressConvert11.setVisible(true);
    m_widgets.ProgressConvert22.setVisible(true);
    m_widgets.ProgressConvert.setValue(0);
    m_widgets.ProgressConvert2.setValue(0);
    m_widgets.slPosition.setValue(0);
    // The menu entries too: after a stop while paused, every Pause entry pauses again.
    setPauseCaptions(QStringLiteral("Pause"));
    m_widgets.cmdConvert.setEnabled(true);
    m_widgets.convertmenu.setEnabled(true);
}

// --- Player events ------------------------------------------------------------------------

void Playback::ShowProgress(qint64 CurrentSamples, int LevelLeft, int LevelRight)
{
    m_widgets.ProgressConvert.setVisible(true);
    m_widgets.ProgressConvert2.setVisible(true);
    m_widgets.ProgressConvert11.setVisible(false);
    m_widgets.ProgressConvert22.setVisible(false);
    m_widgets.ProgressConvert.setValue(6 * PlayPosition::levelSteps(LevelLeft));
    m_widgets.ProgressConvert2.setValue(6 * PlayPosition::levelSteps(LevelRight));

    const qint64 position = m_basePosition + CurrentSamples;
    const qint64 seconds = PlayPosition::roundedSeconds(m_player.CountToMs(position));
    m_widgets.StatusBar1.setPanelText(4, QStringLiteral("Second: ") + QString::number(seconds));
    if (!m_seeking)
        m_widgets.slPosition.setValue(PlayPosition::percent(position, m_reader.GetLength()));
}

void Playback::SeekTo()
{
    if (IsPlaying) {
        m_player.Halt();
        const qint64 target =
            PlayPosition::seekTarget(m_widgets.slPosition.value(), m_reader.GetLength());
        m_basePosition = target;
        attempt([&] { m_basePosition = m_reader.Seek(target); });
        m_seeking = false;
        feedTwoBlocks();
        return;
    }
    m_seeking = false;
}

bool Playback::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    const bool press = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
    if (watched == &m_widgets.cmdPlay && press && m_widgets.cmdPlay.isEnabled()) {
        // Any button opens the popup just below the button's left edge; the press is taken,
        // so the button itself never clicks.
        QPushButton &button = m_widgets.cmdPlay;
        emit popupRequested(&m_widgets.playmenu, button.mapToGlobal(QPoint(6, button.height())));
        return true;
    }
    if (watched == &m_widgets.slPosition) {
        // The slider has taken its value from the press and the drag by the time the button
        // comes up, so the release seeks to where the user let go.
        if (press)
            m_seeking = true;
        else if (type == QEvent::MouseButtonRelease)
            SeekTo();
    }
    return QObject::eventFilter(watched, event);
}

// --- Helpers ------------------------------------------------------------------------------

void Playback::setPauseCaptions(const QString &caption)
{
    m_widgets.cmdPause.setText(caption);
    m_widgets.pause.setText(caption);
    m_widgets.pausea.setText(caption);
}

int Playback::playingRow()
{
    return m_playingRow.isValid() ? m_playingRow.row() : -1;
}

void Playback::setPlayingStatus(const char *word)
{
    const int row = playingRow();
    if (row >= 0)
        m_widgets.jobs.setStatus(row, QString::fromLatin1(word));
}

// A row that stops being played shows its tick again. Only a row still showing the player's
// words is touched: a row converted since keeps "Finished".
void Playback::restorePlayingRow()
{
    const int row = playingRow();
    if (row < 0)
        return;
    const QString status = m_widgets.jobs.status(row);
    if (status != QLatin1String(JobStatus::Playing) && status != QLatin1String(JobStatus::Pause))
        return;
    m_widgets.jobs.setStatus(row, QString::fromLatin1(m_widgets.jobs.isChecked(row)
                                                          ? JobStatus::Ready
                                                          : JobStatus::Waitting));
}

void Playback::message(const QString &text, const QString &caption, MessageIcon icon)
{
    Platform::instance().messageBox(text, caption, MessageButtons::Ok, icon, &m_widgets.window);
}
