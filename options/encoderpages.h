#pragma once

#include <QList>

#include <vector>

class EncoderPage;
class QLabel;
struct OptionsContext;

namespace EncoderPages {

// The page of every output format after the first four, in the order of the format table,
// each with its picture (one per page, in that order).
std::vector<EncoderPage *> create(OptionsContext &context, const QList<QLabel *> &pictures);

} // namespace EncoderPages
