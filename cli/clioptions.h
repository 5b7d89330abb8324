#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The command line of twr-convert.
struct CliOptions
{
    enum class Overwrite { FromSettings, Yes, No };
    enum class Placement { FromSettings, OutputFolder, BesideSource };
    enum class Structure { FromSettings, Keep, Flat };

    QString format;    // a format's section name ("mp3"); empty = the settings' "format"
    QString outputDir; // with Placement::OutputFolder from --output-dir
    Placement placement = Placement::FromSettings;
    Overwrite overwrite = Overwrite::FromSettings;
    int jobs = 0;         // 0 = one per core
    QString settingsFile; // empty = twr.ini in the config folder
    bool strict = false;  // a file converted with warnings fails the run
    bool noPictures = false;
    bool noSplit = false;   // --no-split
    bool recursive = false; // folders are walked for the files they hold
    Structure structure = Structure::FromSettings;
    QString filesFrom;         // a file list, "-" for standard input; empty = none
    bool nulSeparated = false; // the list's paths end with NUL bytes, not line ends
    bool help = false;
    bool version = false;
    QStringList files;

    // The parsed options, or nothing with the reason in *error. Arguments that begin with a
    // dash are options, up to "--"; a lone "-" is a file name.
    static std::optional<CliOptions> parse(const QStringList &arguments, QString *error);
    // The whole help text.
    static QString usage();
    // The one line shown under a wrong command line.
    static QString usageLine();
    static QString versionText();
};
