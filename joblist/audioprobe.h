#pragma once

#include <QString>

#include <memory>
#include <optional>

// What the job list needs to know of an audio file.
struct AudioFacts
{
    qint64 durationMs = 0;
    qint64 sizeBytes = 0;
};

// Reads a file's play length and size for the job list; the engine's FileInfo in the program,
// a stand-in in tests and benchmarks.
class AudioProbe
{
public:
    virtual ~AudioProbe() = default;
    // Called once before the files of one pick, drop or playlist are read.
    virtual void prepare() = 0;
    // Nothing when the file cannot be read as audio.
    virtual std::optional<AudioFacts> probe(const QString &path) = 0;
    // A probe of the same kind with nothing shared, for another thread.
    virtual std::unique_ptr<AudioProbe> another() const = 0;
};
