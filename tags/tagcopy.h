#pragma once

#include <QString>

// Carries the whole tag over: the source's full tag (for MP3 its ID3v2 tag, with the fields
// it lacks taken from its ID3v1 block) goes into every tag the target keeps (for an MP3
// target both ID3v2 and ID3v1); FLAC, Opus and M4A targets also take every other field,
// all values of fields with several, and the pictures (see TagExtras). Returns false when
// the source has no tag, which leaves the target untouched. Throws EngineError when the
// target cannot be tagged; the target is then left as it was.
bool CopyAllTags(const QString &source, const QString &target);
