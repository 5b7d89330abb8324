#pragma once

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QString>

// Small builders for controls that carry their names as object names, so that skins and
// tests find them.
namespace NamedWidgets {

template <typename T> T *named(T *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

inline QPushButton *button(QWidget *parent, const char *name, const QString &caption,
                           const QString &tip)
{
    auto *b = named(new QPushButton(caption, parent), QString::fromLatin1(name));
    b->setToolTip(tip);
    b->setAutoDefault(false);
    return b;
}

inline QProgressBar *progressBar(QWidget *parent, const char *name, int maximum)
{
    auto *bar = named(new QProgressBar(parent), QString::fromLatin1(name));
    bar->setRange(0, maximum);
    bar->setValue(0);
    bar->setFixedHeight(16);
    bar->setTextVisible(false);
    return bar;
}

inline QLineEdit *field(QWidget *parent, const char *name, bool readOnly = false)
{
    auto *edit = named(new QLineEdit(parent), QString::fromLatin1(name));
    edit->setReadOnly(readOnly);
    return edit;
}

} // namespace NamedWidgets
