#pragma once

#include "testplatform.h"

// What a test platform recorded, flattened for comparing at once.
namespace PlatformCalls {
// Part `part` (0 text, 1 caption, 2 buttons, 3 icon) of every message box shown.
inline QStringList messages(const TestPlatform &platform, int part = 0)
{
    QStringList texts;
    for (const PlatformCall &call : platform.callsOf(QStringLiteral("messageBox")))
        texts << call.args.value(part);
    return texts;
}
// The arguments of every call of `what`, one after another.
inline QStringList args(const TestPlatform &platform, const QString &what)
{
    QStringList all;
    for (const PlatformCall &call : platform.callsOf(what))
        all += call.args;
    return all;
}
} // namespace PlatformCalls
