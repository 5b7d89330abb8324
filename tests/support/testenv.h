#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A fresh, empty settings folder for the lifetime of the object, exported as
// TONEWRIGHT_CONFIG_DIR so nothing a test does reaches the user's real settings.
class TestConfigDir
{
public:
    TestConfigDir();
    ~TestConfigDir();

    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
};

// How a program ended (-1: it could not start, timed out or crashed) and what it printed.
struct Ran
{
    int exitCode = -1;
    QString out;
    QString err;
};

namespace TestEnv {
// The build's bin folder (programs and the skin library).
QString binDir();
// The source tree's root.
QString sourceDir();
// The build folder (the bin folder's parent), where `cmake --install` and cpack start.
QString buildDir();
// The whole content of a file; empty when it cannot be read.
QByteArray readFile(const QString &path);
// Writes a file whole (the test fails when it cannot).
void writeFile(const QString &path, const QByteArray &bytes);
// The names of the files in `dir`, hidden and system ones too, sorted.
QStringList files(const QString &dir);
// Runs a program to completion; returns its exit code (-1 when it could not start or timed
// out) and its standard output.
int run(const QString &program, const QStringList &arguments, QByteArray *output = nullptr,
        int timeoutMs = 120000);
// The same with its output and its errors kept apart.
Ran runApart(const QString &program, const QStringList &arguments, int timeoutMs = 120000);
// The build's twr-convert, and a run of it.
QString twrConvert();
Ran twrConvert(const QStringList &arguments, int timeoutMs = 120000);
// The system's Python (which Debian's mutagen installs into, unlike a python3 found first on
// the PATH) with `arguments`: a script, or -c and a snippet.
int python(const QStringList &arguments, QByteArray *output = nullptr);
// tests/support/tagmatrix.py with `arguments`: tags made and read by mutagen.
int tagMatrix(const QStringList &arguments, QByteArray *output = nullptr);
} // namespace TestEnv
