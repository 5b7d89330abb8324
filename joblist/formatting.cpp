#include "joblist/formatting.h"

#include <cmath>

namespace {

QString twoDigits(qint64 value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

QString FormatLength(qint64 milliseconds, LengthForm form)
{
    const qint64 s = milliseconds > 0 ? milliseconds / 1000 : 0;
    const auto lead = [form](qint64 value) {
        return form == LengthForm::Padded ? twoDigits(value) : QString::number(value);
    };
    if (s < 60)
        return QStringLiteral("00:00:") + QString::number(s);
    if (s < 3600)
        return QStringLiteral("00:") + lead(s / 60) + u':' + twoDigits(s % 60);
    return lead(s / 3600) + u':' + twoDigits(s % 3600 / 60) + u':' + twoDigits(s % 60);
}

QString FormatSize(qint64 bytes)
{
    // Rounded to hundredths in integers, so that no binary fraction decides a digit. The point
    // is always '.', whatever the locale, so the column sorts and compares the same everywhere.
    const double mebibytes = double(bytes > 0 ? bytes : 0) / 1024.0 / 1024.0;
    const auto hundredths = qint64(std::llround(mebibytes * 100.0));
    const qint64 whole = hundredths / 100;
    const qint64 fraction = hundredths % 100;
    QString text = QString::number(whole) + u'.';
    if (fraction != 0) {
        text += QString::number(fraction / 10);
        if (fraction % 10 != 0)
            text += QString::number(fraction % 10);
    }
    return text + u'M';
}

QString SelectedFilesText(qint64 count)
{
    return QStringLiteral("Total Selected Files: ") + QString::number(count);
}
