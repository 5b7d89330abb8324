#pragma once

#include <QString>

// What a conversion carries besides the fields FileInfo models: every other text field of
// the source's tag (ReplayGain, identifiers, fields of its own), all values of fields with
// several, and its pictures. Written only into targets whose tag keeps them natively: FLAC
// and Opus (Vorbis comments and their pictures), M4A (atoms, free-form atoms for fields that
// have none, cover art).
namespace TagExtras {
// Adds the source's extras to the target's tag in place (callers make it atomic); fields the
// target already holds with other values are kept. Throws EngineError naming `shownTarget`
// when the target cannot be written; a source without a readable tag adds nothing.
void copy(const QString &source, const QString &target, const QString &shownTarget);
} // namespace TagExtras
