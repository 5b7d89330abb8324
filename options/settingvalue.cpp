#include "options/settingvalue.h"

namespace SettingValue {

std::optional<int> wholeNumber(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

std::optional<bool> checkState(const QString &text)
{
    const auto value = wholeNumber(text);
    if (!value || (*value != 0 && *value != 1))
        return std::nullopt;
    return *value == 1;
}

QString qualityTip(int position)
{
    const bool negative = position < 0;
    const int magnitude = negative ? -position : position;
    const int whole = magnitude / 100;
    QString fraction = QString::number(magnitude % 100).rightJustified(2, QLatin1Char('0'));
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    QString text = whole == 0 && !fraction.isEmpty() ? QString() : QString::number(whole);
    if (!fraction.isEmpty())
        text += QLatin1Char('.') + fraction;
    return (negative ? QStringLiteral("-") : QStringLiteral(" ")) + text;
}

} // namespace SettingValue
