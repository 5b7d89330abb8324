#include "options/optionscontext.h"

#include "options/settingvalue.h"
#include "settings/settingsfiles.h"

#include <QComboBox>
#include <QDir>
#include <QSet>

#include <cstdio>

namespace {

// Once per file and key in a process: the next save mends the file, so a later load is quiet.
void sayReplaced(const QString &file, Ini::Key key, const QString &stored, const QString &used)
{
    static QSet<QString> told;
    const QString name =
        QStringLiteral("[%1] %2").arg(QLatin1String(key.section), QLatin1String(key.key));
    if (told.contains(file + name))
        return;
    told.insert(file + name);
    const QString what = stored.isEmpty()
                             ? QStringLiteral("has no value for %1").arg(name)
                             : QStringLiteral("has %1=%2, which cannot be used").arg(name, stored);
    const QString line =
        QStringLiteral("tonewright: %1 %2; the factory default %3 is used and saved instead\n")
            .arg(QDir::toNativeSeparators(file), what, used);
    std::fputs(line.toLocal8Bit().constData(), stderr);
}

} // namespace

QString OptionsContext::readUsable(Ini::Key key,
                                   const std::function<bool(const QString &)> &usable) const
{
    const QString stored = SettingsFiles::read(vars.INI, key);
    if (usable(stored))
        return stored;
    const QString defaults = SettingsFiles::defaultsFile();
    if (vars.INI == defaults)
        return stored;
    const QString factory = SettingsFiles::read(defaults, key);
    if (!usable(factory))
        return stored;
    sayReplaced(vars.INI, key, stored, factory);
    return factory;
}

QString OptionsContext::read(Ini::Key key) const
{
    return readUsable(key, [](const QString &value) { return !value.isEmpty(); });
}

void OptionsContext::write(Ini::Key key, const QString &value) const
{
    QString why;
    if (!SettingsFiles::write(vars.INI, key, value, &why) && notSaved.isEmpty())
        notSaved = why;
}

std::optional<int> OptionsContext::readNumber(Ini::Key key) const
{
    return SettingValue::wholeNumber(readUsable(
        key, [](const QString &value) { return SettingValue::wholeNumber(value).has_value(); }));
}

std::optional<bool> OptionsContext::readCheck(Ini::Key key) const
{
    return SettingValue::checkState(readUsable(
        key, [](const QString &value) { return SettingValue::checkState(value).has_value(); }));
}

void OptionsContext::selectStored(QComboBox *combo, Ini::Key key) const
{
    const QString value = readUsable(key, [combo](const QString &text) {
        const std::optional<int> index = SettingValue::wholeNumber(text);
        return index && *index >= -1 && *index < combo->count();
    });
    ComboValue::selectIndex(combo, SettingValue::wholeNumber(value));
}

namespace ComboValue {

bool selectIndex(QComboBox *combo, std::optional<int> index)
{
    if (!index || *index < -1 || *index >= combo->count())
        return false;
    combo->setCurrentIndex(*index);
    return true;
}

std::optional<int> selectedData(const QComboBox *combo)
{
    if (combo->currentIndex() < 0)
        return std::nullopt;
    bool ok = false;
    const int value = combo->currentData().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

} // namespace ComboValue
