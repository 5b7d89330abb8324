#include "cli/argumentnames.h"

#include <QFileInfo>
#include <QStringDecoder>

QStringList ArgumentNames::notUtf8(int argc, char **argv)
{
    QStringList names;
    for (int i = 1; i < argc; ++i) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QByteArray bytes(argv[i]);
        [[maybe_unused]] const QString text = utf8(bytes);
        if (utf8.hasError())
            names << QString::fromLocal8Bit(bytes);
    }
    return names;
}

QString ArgumentNames::refusal(const QString &name)
{
    return QStringLiteral("the name of %1 is not valid UTF-8, so it cannot be opened; rename it")
        .arg(QFileInfo(name).fileName());
}
