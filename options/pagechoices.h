#pragma once

#include <QList>
#include <QString>

#include <utility>

// Item lists the later encoder pages share: (text, value), 0 standing for the source's.
namespace PageChoices {

QList<std::pair<QString, int>> rates();
QList<std::pair<QString, int>> channels();

} // namespace PageChoices
