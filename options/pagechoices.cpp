#include "options/pagechoices.h"

QList<std::pair<QString, int>> PageChoices::rates()
{
    QList<std::pair<QString, int>> items{{QStringLiteral("As source"), 0}};
    for (int rate : {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000, 88200, 96000})
        items.append({QStringLiteral("%1 Hz").arg(rate), rate});
    return items;
}

QList<std::pair<QString, int>> PageChoices::channels()
{
    return {{QStringLiteral("As source"), 0},
            {QStringLiteral("Mono"), 1},
            {QStringLiteral("Stereo"), 2}};
}
