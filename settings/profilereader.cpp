#include "settings/profilereader.h"

#include "settings/settingsfiles.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

bool wholeNumber(const QString &text, int min, int max, int *out)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    const double whole = std::trunc(v);
    if (whole < min || whole > max)
        return false;
    *out = int(whole);
    return true;
}

} // namespace

ProfileReader::ProfileReader(const QString &settingsFile)
    : m_file(settingsFile)
{
}

QString ProfileReader::stored(Ini::Key key) const
{
    return SettingsFiles::read(m_file, key);
}

QString ProfileReader::shipped(Ini::Key key)
{
    return SettingsFiles::read(SettingsFiles::shippedDefaults(), key);
}

void ProfileReader::ignore(Ini::Key key, const QString &text) const
{
    const QString line = QStringLiteral("%1: the value \"%2\" of %3 in section [%4] is not usable; "
                                        "the default is used")
                             .arg(m_file, text, QLatin1String(key.key), QLatin1String(key.section));
    std::lock_guard lock(m_mutex);
    if (!m_ignored.contains(line))
        m_ignored << line;
}

QStringList ProfileReader::ignored() const
{
    std::lock_guard lock(m_mutex);
    return m_ignored;
}

QString ProfileReader::value(Ini::Key key) const
{
    const QString text = stored(key);
    return text.isEmpty() ? shipped(key) : text;
}

int ProfileReader::number(Ini::Key key, int min, int max) const
{
    int v = 0;
    const QString text = stored(key);
    if (wholeNumber(text, min, max, &v))
        return v;
    if (!text.isEmpty())
        ignore(key, text);
    if (wholeNumber(shipped(key), min, max, &v))
        return v;
    return min;
}

int ProfileReader::oneOf(Ini::Key key, std::initializer_list<int> allowed) const
{
    const auto usable = [&allowed](const QString &text, int *out) {
        return wholeNumber(text, INT_MIN, INT_MAX, out) &&
               std::find(allowed.begin(), allowed.end(), *out) != allowed.end();
    };
    int v = 0;
    const QString text = stored(key);
    if (usable(text, &v))
        return v;
    if (!text.isEmpty())
        ignore(key, text);
    return usable(shipped(key), &v) ? v : *allowed.begin();
}
