#pragma once

#include "joblist/audioprobe.h"

#include <functional>
#include <memory>

class FileInfo;

// The probe over the engine's FileInfo. The object is looked up on every use, because the
// window creates its engine objects after the commands are wired; while there is none, a
// FileInfo of the probe's own does the reading.
class FileInfoProbe : public AudioProbe
{
public:
    explicit FileInfoProbe(std::function<FileInfo *()> source = {});
    ~FileInfoProbe() override;

    void prepare() override;
    std::optional<AudioFacts> probe(const QString &path) override;

private:
    FileInfo &fileInfo();

    std::function<FileInfo *()> m_source;
    std::unique_ptr<FileInfo> m_own;
};
