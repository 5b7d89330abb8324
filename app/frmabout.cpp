#include "app/frmabout.h"

#include "convert/outputformat.h"
#include "engine/libraryversions.h"
#include "ui/skin/skinengine.h"
#include "version.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel *label(const QString &text, const char *name, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setTextFormat(Qt::PlainText);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

} // namespace

frmAbout::frmAbout(SkinEngine *skin, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Tonewright"));

    QLabel *title = label(QStringLiteral("Tonewright"), "lblTitle", this);
    // Its own sheet outranks the skin's general font size.
    title->setStyleSheet(QStringLiteral("font-size: 20pt; font-weight: bold;"));
    QLabel *version =
        label(QStringLiteral("Version ") + QStringLiteral(TWR_VERSION), "lblVersion", this);
    QStringList formats;
    for (const OutputFormat &format : OutputFormats::all())
        formats << QString::fromLatin1(format.label);
    const QString last = formats.takeLast();
    QLabel *description = label(QStringLiteral("A desktop audio converter for %1 and %2 files.")
                                    .arg(formats.join(QStringLiteral(", ")), last),
                                "lblDescription", this);
    QLabel *licence = label(QStringLiteral("Free software under the GNU General Public License, "
                                           "version 3 or later."),
                            "lblLicence", this);
    licence->setWordWrap(true);

    auto *libraries = new QGroupBox(QStringLiteral("Libraries in use"), this);
    libraries->setObjectName(QStringLiteral("fraLibraries"));
    auto *grid = new QGridLayout(libraries);
    grid->setHorizontalSpacing(16);
    int row = 0;
    for (const LibraryVersion &library : LibraryVersions::all()) {
        QString shown = library.version;
        if (!library.atRunTime)
            shown += QStringLiteral(" (the version built against; it cannot report its own)");
        grid->addWidget(label(library.name, "lblLibraryName", libraries), row, 0);
        grid->addWidget(label(shown, "lblLibraryVersion", libraries), row, 1);
        ++row;
    }
    grid->setColumnStretch(1, 1);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 14);
    layout->addWidget(title);
    layout->addWidget(version);
    layout->addSpacing(6);
    layout->addWidget(description);
    layout->addWidget(licence);
    layout->addSpacing(8);
    layout->addWidget(libraries);
    layout->addLayout(buttons);

    if (skin)
        skin->applyDefaultSkin(this);
}
