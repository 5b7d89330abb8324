#pragma once

#include <QByteArray>

#include <functional>

// The named temporary files of this process, so that a program told to stop (twr-convert on
// Ctrl+C) removes them before it ends. Unnamed temporary files need none of this: they go
// with the process. Each step below is atomic with respect to removeAllAndExit(): an output
// is either renamed into place or its temporary file is removed, never half of each.
namespace TemporaryFiles {

// Runs `create`, which makes a file and returns its name ("" when it failed), and keeps the
// name.
QByteArray make(const std::function<QByteArray()> &create);
// Forgets a name that is gone (or about to go) by other means.
void forget(const QByteArray &path);
// Removes the file and forgets its name.
void remove(const QByteArray &path);
// Renames `from` to `to` and forgets `from`; 0, or the errno of the failed rename.
int renameInto(const QByteArray &from, const QByteArray &to);
// Removes every file still kept and ends the process with `status`, waiting for a step above
// that is under way but letting none start.
[[noreturn]] void removeAllAndExit(int status);

} // namespace TemporaryFiles
