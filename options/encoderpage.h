#pragma once

#include "convert/encodersettings.h"

#include <QWidget>

class QBoxLayout;
class QComboBox;
class QLabel;
struct OptionsContext;

// An encoder page for a format beyond the first four: its controls stand for one value of
// the format's settings type, which the page reads and writes through the format table's
// functions and pushes as a whole. A page says how its value shows in its controls and how
// its controls make a value.
class EncoderPage : public QWidget
{
    Q_OBJECT
public:
    EncoderPage(OptionsContext &context, OutputFormatId format, QWidget *parent = nullptr);

    OutputFormatId format() const { return m_format; }
    // The controls as the settings type's own values have them.
    void resetToBuiltIn();
    // The stored value (the factory default for a key that is missing or not usable).
    void load();
    // Writes the format's section and pushes the value.
    void saveAndPush();

    // The format text, as the engine describes the value the controls make.
    QLabel *lblFs = nullptr;

protected:
    virtual void show(const EncoderSettings &settings) = 0;
    virtual EncoderSettings value() const = 0;
    // Lays the page out: the picture, the page's own frames, the format text below them.
    void lay(QLabel *picture, QBoxLayout *frames);
    // Refreshes the format text; the pages call it whenever a control changes.
    void changed();
    // A list of (text, value) items, selected by value.
    static QComboBox *choices(const char *name, const QList<std::pair<QString, int>> &items,
                              QWidget *parent);
    static void selectValue(QComboBox *combo, int value);
    static int selectedValue(const QComboBox *combo);

private:
    OptionsContext &m_context;
    OutputFormatId m_format;
};
