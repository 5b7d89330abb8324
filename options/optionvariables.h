#pragma once

#include <QString>
#include <QtGlobal>

// The options dialog's public variables. They belong to the dialog object, which lives for the
// whole run, so they keep their values while the dialog is unloaded.
struct OptionVariables
{
    qint16 bitRate = 0;    // OGG nominal bitrate, kbit/s
    qint16 MinBitrate = 0; // OGG minimum bitrate, kbit/s
    qint16 MaxBitrate = 0; // OGG maximum bitrate, kbit/s
    bool VbrEnabled = false;
    qint16 quality = 0; // OGG quality, 0..1000
    bool QualityEnabled = false;
    qint16 AltPreset = 0; // chosen MP3 alternative preset, 1..5
    QString WMAfs;        // the engine's format texts of the last push (or as stored)
    QString MP3fs;
    QString OGGfs;
    bool flgDefault = false; // the next load reads the defaults file
    QString INI;             // the settings file read and written
    qint32 Freq = 0;         // OGG sample rate, Hz
    qint32 Chan = 0;         // OGG channel count
};
