#pragma once

#include "tags/tagextras.h"

#include <QString>
#include <QtGlobal>

#include <functional>

class Converter;

// Converts one source file into one output file: the copy loop that pumps decoded PCM
// from a reader into a writer, shared by the window's run and twr-convert.
//
// The caller owns both converters and has set the writer up with the encoder settings of
// the output's format (SetMp3Settings, SetOggFormat...); the output's extension picks the
// format. One job object may convert many files one after the other; it never throws.
//
// run() goes through these steps and stops at the first that does not succeed:
//   1. an output that is the source itself fails the file (the caller's RunOutputs refuses
//      outputs that another file of the run claimed, or that are its other sources);
//   2. an existing file under the output name: Callbacks::overwrite decides (Skip leaves
//      the file as it was);
//   3. a missing output folder is created;
//   4. the source is opened in the reader, the output in the writer;
//   5. a source longer than a minute may be encoded by several instances at once
//      (Callbacks::instances);
//   6. one second of audio (A x B bytes) at a time is read and written; after every chunk
//      Callbacks::progress, then Callbacks::cancelled;
//   7. the writer is closed: only now does the output appear under its name;
//   8. the source's whole tag is carried over (a failure here leaves the file converted
//      and is reported in Result::tagWarning; what the output's format cannot hold, such
//      as the picture types of an M4A file, in Result::tagLoss).
// A damaged source is converted as far as it can be decoded: parts that cannot be decoded
// are skipped. When that happened, or when less than 90 % of the length the source states
// could be decoded, the file is converted with warnings (Result::warning). Less than half of
// a length the source states exactly (not guessed from the bit rate) fails the file.
// A failure or a cancel after the output was opened leaves nothing under the output name
// (an older file there stays intact) and no temporary file.
class ConversionJob
{
public:
    enum class Outcome { Converted, Skipped, Cancelled, Failed };
    enum class OverwriteAnswer { Replace, Skip };

    // The encoder instances a long source starts with, and whether it may gain more.
    struct Instances
    {
        int now = 1;
        bool mayGrow = false;
    };

    struct Callbacks
    {
        // Asked only when a file exists under the output name, with that name. Unset: Skip.
        std::function<OverwriteAnswer(const QString &output)> overwrite;
        // After every chunk: frames converted so far and the source's length in frames
        // (0 when unknown; `done` never passes a known length). The window may yield to its
        // event loop here.
        std::function<void(qint64 done, qint64 total)> progress;
        // Read after every chunk, after progress: true stops the file as Cancelled.
        std::function<bool()> cancelled;
        // Asked once for a source longer than LongFileSeconds: how many encoder instances
        // may encode it at once from the start, and whether cores may come free for it
        // later. Unset: one.
        std::function<Instances()> instances;
        // Asked for such a source that may gain cores, before each block its instances
        // encode: how many instances it may add now.
        std::function<int()> moreInstances;
    };

    struct Result
    {
        Outcome outcome = Outcome::Failed;
        QString source;
        QString output;
        // Why the file was skipped, cancelled or failed, in plain words that name the file
        // ("track.wav cannot be written: the disk is full"); "" when converted.
        QString reason;
        // A converted file whose tag could not be carried over: why; else "".
        QString tagWarning;
        // "Converted with warnings": the outcome is Converted, and this says what is
        // wrong with the output in plain words that name the source ("song.wma is damaged
        // or truncated: 3 damaged parts were skipped"); "" when the source was whole.
        QString warning;
        // What of the tag the output's format could not hold, one "... could not be kept: ..."
        // per kind ("the cover could not be kept: ...") joined by "; "; else "".
        QString tagLoss;
    };

    // Sources longer than this are worth cutting into blocks for several encoder instances.
    static constexpr int LongFileSeconds = 60;

    ConversionJob(Converter &reader, Converter &writer, Callbacks callbacks = {},
                  PictureCopy pictures = PictureCopy::Keep);

    // Converts `source` into `output` (full paths). An empty output means that no output
    // name could be built and fails the file.
    Result run(const QString &source, const QString &output);

private:
    Result convert(const QString &source, const QString &output);
    Outcome copy(const QString &source, const QString &output, QString *reason, QString *warning);

    Converter &m_reader;
    Converter &m_writer;
    Callbacks m_callbacks;
    PictureCopy m_pictures;
};
