#pragma once

#include "options/optionshost.h"
#include "options/optionvariables.h"
#include "settings/keys.h"

#include <QString>

#include <exception>
#include <optional>

class QComboBox;

// What every page of the options dialog works on: the dialog's public variables (INI among
// them) and the host around the dialog.
struct OptionsContext
{
    OptionVariables &vars;
    OptionsHost &host;
    // Why the first failed write since the last clear did not store its value ("" if none).
    mutable QString notSaved = {};

    QString read(Ini::Key key) const;
    void write(Ini::Key key, const QString &value) const;
    // A stored whole number; nothing when missing or not a number.
    std::optional<int> readNumber(Ini::Key key) const;
};

// Runs one engine step; false when the engine refused it (the step is then skipped).
template <typename F> bool engineStep(F &&step)
{
    try {
        step();
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

namespace ComboValue {
// Selects the stored index (-1 clears the selection); false when it does not convert or is
// out of range.
bool selectIndex(QComboBox *combo, std::optional<int> index);
// The item data of the selected item; nothing when no item is selected.
std::optional<int> selectedData(const QComboBox *combo);
} // namespace ComboValue
