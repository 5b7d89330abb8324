#include "options/optionscontext.h"

#include "options/settingvalue.h"
#include "settings/settingsfiles.h"

#include <QComboBox>

QString OptionsContext::read(Ini::Key key) const
{
    return SettingsFiles::read(vars.INI, key);
}

void OptionsContext::write(Ini::Key key, const QString &value) const
{
    QString why;
    if (!SettingsFiles::write(vars.INI, key, value, &why) && notSaved.isEmpty())
        notSaved = why;
}

std::optional<int> OptionsContext::readNumber(Ini::Key key) const
{
    return SettingValue::wholeNumber(read(key));
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
