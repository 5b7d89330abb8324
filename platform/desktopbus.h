#pragma once

#include <QDBusMessage>
#include <QString>

// The session-bus messages through which the program shows itself on the desktop. Built here,
// sent by the desktop platform.
namespace DesktopBus {

// The program's desktop id: the name of its desktop entry (without ".desktop") and its icon.
QString appId();

// com.canonical.Unity.LauncherEntry "Update": the progress on the program's taskbar entry,
// which docks and task managers show. A negative `fraction` takes the progress off.
QDBusMessage launcherEntryUpdate(double fraction);

// org.freedesktop.Notifications "Notify": one notification that a run has ended.
QDBusMessage runFinishedNotification(int converted, int failed);
// Its summary and body, e.g. "Conversion finished" and "3 files converted, 1 failed."
QString runFinishedSummary(int failed);
QString runFinishedBody(int converted, int failed);

} // namespace DesktopBus
