#include "cli/clioptions.h"

#include "convert/outputformat.h"

#include "version.h"

std::optional<CliOptions> CliOptions::parse(const QStringList &arguments, QString *error)
{
    CliOptions o;
    bool onlyFiles = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        const bool isOption = a.startsWith(QLatin1Char('-')) && a.size() > 1;
        if (onlyFiles || !isOption || a == QLatin1String("--")) {
            if (!onlyFiles && a == QLatin1String("--"))
                onlyFiles = true;
            else
                o.files << a;
            continue;
        }
        QString name = a;
        QString value;
        bool hasValue = false;
        const qsizetype eq = a.indexOf(QLatin1Char('='));
        if (eq > 0) {
            name = a.left(eq);
            value = a.mid(eq + 1);
            hasValue = true;
        }
        auto takeValue = [&]() -> bool {
            if (hasValue)
                return true;
            if (i + 1 >= arguments.size()) {
                *error = QStringLiteral("%1 needs a value").arg(name);
                return false;
            }
            value = arguments.at(++i);
            return true;
        };
        if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            o.help = true;
        } else if (name == QLatin1String("--version")) {
            o.version = true;
        } else if (name == QLatin1String("--format")) {
            if (!takeValue())
                return std::nullopt;
            o.format = value.toLower();
            if (!OutputFormats::names().contains(o.format)) {
                QStringList names = OutputFormats::names();
                const QString last = names.takeLast();
                *error = QStringLiteral("unknown format \"%1\" (%2 or %3)")
                             .arg(value, names.join(QStringLiteral(", ")), last);
                return std::nullopt;
            }
        } else if (name == QLatin1String("--output-dir")) {
            if (!takeValue())
                return std::nullopt;
            if (value.isEmpty()) {
                *error = QStringLiteral("--output-dir needs a folder");
                return std::nullopt;
            }
            o.outputDir = value;
            o.placement = Placement::OutputFolder;
        } else if (name == QLatin1String("--beside-source")) {
            o.placement = Placement::BesideSource;
        } else if (name == QLatin1String("--overwrite")) {
            o.overwrite = Overwrite::Yes;
        } else if (name == QLatin1String("--no-overwrite")) {
            o.overwrite = Overwrite::No;
        } else if (name == QLatin1String("--strict")) {
            o.strict = true;
        } else if (name == QLatin1String("--no-pictures")) {
            o.noPictures = true;
        } else if (name == QLatin1String("--no-split")) {
            o.noSplit = true;
        } else if (name == QLatin1String("--recursive") || name == QLatin1String("-r")) {
            o.recursive = true;
        } else if (name == QLatin1String("--keep-structure")) {
            o.structure = Structure::Keep;
        } else if (name == QLatin1String("--flat")) {
            o.structure = Structure::Flat;
        } else if (name == QLatin1String("--files-from")) {
            if (!takeValue())
                return std::nullopt;
            if (value.isEmpty()) {
                *error = QStringLiteral("--files-from needs a file (- for standard input)");
                return std::nullopt;
            }
            o.filesFrom = value;
        } else if (name == QLatin1String("--null")) {
            o.nulSeparated = true;
        } else if (name == QLatin1String("--jobs")) {
            if (!takeValue())
                return std::nullopt;
            bool ok = false;
            o.jobs = value.toInt(&ok);
            if (!ok || o.jobs < 1 || o.jobs > 256) {
                *error = QStringLiteral("--jobs needs a number from 1 to 256");
                return std::nullopt;
            }
        } else if (name == QLatin1String("--settings")) {
            if (!takeValue())
                return std::nullopt;
            o.settingsFile = value;
        } else {
            *error = QStringLiteral("unknown option %1").arg(name);
            return std::nullopt;
        }
    }
    if (!o.help && !o.version && o.files.isEmpty() && o.filesFrom.isEmpty()) {
        *error = QStringLiteral("no files to convert");
        return std::nullopt;
    }
    return o;
}

QString CliOptions::usageLine()
{
    return QStringLiteral("usage: twr-convert [options] FILE...  (twr-convert --help for more)\n");
}

QString CliOptions::versionText()
{
    return QStringLiteral("twr-convert (Tonewright) " TWR_VERSION "\n");
}

QString CliOptions::usage()
{
    // The option column is 28 wide; a longer --format line puts its text on the next line.
    constexpr int Column = 28;
    QString format = QStringLiteral("  --format ") + OutputFormats::names().join(QLatin1Char('|'));
    format = format.size() < Column - 1 ? format.leftJustified(Column)
                                        : format + QLatin1Char('\n') + QString(Column, ' ');
    // The help text keeps the lines it is shown in.
    // clang-format off
    return QStringLiteral(
        "usage: twr-convert [options] FILE|FOLDER...\n"
        "Converts audio files (and the files that .m3u and .pls playlists list) with the\n"
        "encoder settings of Tonewright.\n"
        "\n"
        "%1output format (default: the settings' choice, else %2)\n"
        "  --output-dir DIR          write the outputs into DIR (default: the settings' folder)\n"
        "  --beside-source           write each output beside its source\n"
        "  -r, --recursive           convert the files under the folders given, at any depth\n"
        "  --keep-structure          keep the sources' folders below the output folder\n"
        "                            (default: the settings' choice, else kept)\n"
        "  --flat                    write every output straight into the output folder\n"
        "  --files-from FILE         also convert the files FILE lists, one a line (- reads\n"
        "                            standard input); relative paths keep their folders\n"
        "  --null                    the list's paths end with NUL (as find -print0 writes)\n"
        "  --overwrite               replace existing outputs\n"
        "  --no-overwrite            keep existing outputs and skip those files\n"
        "  --jobs N                  files converted at once (default: the settings' choice,\n"
        "                            else one per core); a long MP3, FLAC or Opus output\n"
        "                            converted alone is encoded by N instances at once\n"
        "  --no-split                encode every file with one instance\n"
        "  --settings FILE           settings file (default: twr.ini in the settings folder)\n"
        "  --strict                  exit with 1 also when a file converted with warnings\n"
        "  --no-pictures             leave the sources' pictures (cover art) out of the\n"
        "                            outputs\n"
        "  -h, --help                show this text\n"
        "  --version                 show the version\n"
        "  --                        the arguments after it are files\n"
        "\n"
        "Exit status: 0 when no file failed, 1 when any failed (or, with --strict, had\n"
        "warnings), 2 for a usage error, 128 + the signal's number when stopped by one.\n")
        .arg(format, OutputFormats::names().constFirst());
    // clang-format on
}
