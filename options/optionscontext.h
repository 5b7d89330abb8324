#pragma once

#include "options/optionshost.h"
#include "options/optionvariables.h"
#include "settings/keys.h"

#include <QString>

#include <exception>
#include <functional>
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

    // Every read takes the factory default's value where the settings file has none, or one
    // that cannot be used, and says so once on standard error: the next save then writes
    // the whole file, so a damaged or partial file is mended instead of failing every start.
    QString read(Ini::Key key) const;
    void write(Ini::Key key, const QString &value) const;
    // A stored whole number; nothing when neither the file nor the factory defaults hold one.
    std::optional<int> readNumber(Ini::Key key) const;
    // A stored check box state ("0" or "1").
    std::optional<bool> readCheck(Ini::Key key) const;
    // Selects the stored index in `combo` (-1 clears the selection).
    void selectStored(QComboBox *combo, Ini::Key key) const;

private:
    QString readUsable(Ini::Key key, const std::function<bool(const QString &)> &usable) const;
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
