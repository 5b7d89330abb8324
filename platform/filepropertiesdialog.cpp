#include "platform/filepropertiesdialog.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>

FilePropertiesDialog::FilePropertiesDialog(const QString &path, QWidget *parent)
    : QDialog(parent)
{
    const QFileInfo info(path);
    setWindowTitle(tr("%1 Properties").arg(info.fileName()));
    auto *form = new QFormLayout;
    const auto add = [&](const QString &label, const QString &value) {
        auto *v = new QLabel(value);
        v->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(label, v);
    };
    const QLocale locale;
    add(tr("Name:"), info.fileName());
    add(tr("Location:"), info.absolutePath());
    add(tr("Size:"), tr("%1 (%2 bytes)")
                         .arg(locale.formattedDataSize(info.size()), locale.toString(info.size())));
    add(tr("Modified:"), locale.toString(info.lastModified(), QLocale::LongFormat));
    add(tr("Permissions:"), info.isWritable() ? tr("Read and write") : tr("Read only"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}
