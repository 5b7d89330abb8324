#pragma once

#include <QString>

// The system's error texts ("No space left on device") in words a user can act on ("the disk
// is full"). Texts it does not know pass through unchanged.
namespace PlainReason {

QString of(int errnoCode);
QString of(const QString &systemText);
bool isDiskFull(const QString &text);

} // namespace PlainReason
