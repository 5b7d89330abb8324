#include "app/frmdialog.h"

#include "engine/audioplayer.h"
#include "engine/converter.h"
#include "engine/fileinfo.h"
#include "engine/mp3settings.h"
#include "options/frmoption.h"

frmDialog::frmDialog(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmDialog"));
    setWindowTitle(QStringLiteral("Tonewright"));
    resize(640, 460);
}

frmDialog::~frmDialog() = default;
