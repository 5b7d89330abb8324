#pragma once

#include "tests/support/fixture.h"

#include <QJsonObject>

// A tag value as ffprobe reads it, by case-insensitive key (Ogg keeps its comments on the
// stream, other formats on the container).
inline QString probedTag(const QString &path, const QString &key)
{
    QJsonObject tags = Fixture::probe(path).value("format").toObject().value("tags").toObject();
    if (tags.isEmpty())
        tags = Fixture::audioStream(path).value("tags").toObject();
    for (auto it = tags.begin(); it != tags.end(); ++it) {
        if (it.key().compare(key, Qt::CaseInsensitive) == 0)
            return it.value().toString();
    }
    return {};
}
