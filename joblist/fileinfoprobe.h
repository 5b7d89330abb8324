#pragma once

#include "joblist/audioprobe.h"

#include <memory>

class FileInfo;

// The probe over the engine's FileInfo: the window's, or one of the probe's own.
class FileInfoProbe : public AudioProbe
{
public:
    explicit FileInfoProbe(FileInfo *shared = nullptr);
    ~FileInfoProbe() override;

    void prepare() override;
    std::optional<AudioFacts> probe(const QString &path) override;
    std::unique_ptr<AudioProbe> another() const override;

private:
    bool m_propertiesOnly = false; // a probe of its own reads no tag
    std::unique_ptr<FileInfo> m_own;
    FileInfo &m_info;
};
