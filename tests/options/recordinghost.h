#pragma once

#include "engine/engineerror.h"
#include "engine/mp3settings.h"
#include "options/encodersink.h"
#include "options/optionshost.h"

#include <QColor>
#include <QRegularExpression>
#include <QStringList>

// An encoder that records every call as one text line ("SetOggFormat 44100 2 128 0 0 400").
class RecordingEncoder : public EncoderSink
{
public:
    QStringList calls;
    bool acceptOgg = true;
    int failProfile = -1; // SetWmaProfile throws for this profile

    QString last(const QString &name) const
    {
        const QStringList made = calls.filter(QRegularExpression('^' + name + ' '));
        return made.isEmpty() ? QString() : made.last();
    }

    bool CheckOggFormat(int rate, int channels, int bitrate, int min, int max) override
    {
        record("CheckOggFormat", {rate, channels, bitrate, min, max});
        return acceptOgg;
    }
    void SetOggFormat(int rate, int channels, int bitrate, int min, int max,
                      qint16 quality) override
    {
        record("SetOggFormat", {rate, channels, bitrate, min, max, quality}, "ogg");
    }
    void SetWavFormat(int rate, int channels, int bits) override
    {
        record("SetWavFormat", {rate, channels, bits}, "wav");
    }
    void SetWmaProfile(int profile) override
    {
        record("SetWmaProfile", {profile});
        if (profile == failProfile)
            throw EngineError(QStringLiteral("profile refused"));
        m_lastSet = QStringLiteral("wma%1").arg(profile);
    }
    void SetMp3Settings(const Mp3Settings &s) override
    {
        record("SetMp3Settings",
               {s.SampleRate, s.VbrMethod, s.Channels, s.EncoderQuality, s.Bitrate, s.MaxVbrBitrate,
                s.VbrQuality, s.AlternativePreset},
               "mp3");
    }
    void SetFormat(const EncoderSettings &settings) override
    {
        record("SetFormat", {int(settings.index())}, "format");
    }
    // "fmt " and what was set last: "fmt ogg", "fmt wma13", ...
    QString FormatString() override { return QStringLiteral("fmt ") + m_lastSet; }

private:
    void record(const char *name, std::initializer_list<int> values, const char *set = nullptr)
    {
        QString line = QLatin1String(name);
        for (int v : values)
            line += QLatin1Char(' ') + QString::number(v);
        calls << line;
        if (set)
            m_lastSet = QLatin1String(set);
    }
    QString m_lastSet;
};

// The world around the options dialog, recorded: the main window's folder box, panel, job
// rows (From, SaveTo pairs) and hue; and an encoder (a real one can be plugged).
class RecordingHost : public OptionsHost
{
public:
    struct Row
    {
        QString from, saveTo;
    };

    QString folderBox = QStringLiteral("E:/");
    QString panel1;
    QList<Row> rows;
    QList<int> hues;
    RecordingEncoder recorder;
    EncoderSink *engine = &recorder; // null: no engine objects yet
    Mp3Settings mp3;

    QWidget *ownerWindow() override { return nullptr; }
    void setFolderBox(const QString &text) override { folderBox = text; }
    void setFolderPanel(const QString &text) override { panel1 = text; }
    void rewriteSaveTo(bool intoSourceFolder, const QString &outputFolder, bool) override
    {
        for (Row &row : rows)
            row.saveTo = intoSourceFolder ? row.from : outputFolder;
    }
    // The skin and the list's tint are checked on the real main window.
    void applySkin(QWidget *, const QString &) override {}
    void setHue(int degrees) override { hues << degrees; }
    void setJobListBackground(const QColor &) override {}
    EncoderSink *encoder() override { return engine; }
    Mp3Settings *mp3Settings() override { return engine ? &mp3 : nullptr; }
};
