#include "testenv.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

TestConfigDir::TestConfigDir()
    : m_previous(qgetenv("TONEWRIGHT_CONFIG_DIR"))
{
    qputenv("TONEWRIGHT_CONFIG_DIR", m_dir.path().toUtf8());
}

TestConfigDir::~TestConfigDir()
{
    qputenv("TONEWRIGHT_CONFIG_DIR", m_previous);
}

QString TestEnv::binDir()
{
    const QString dir = qEnvironmentVariable("TWR_BIN_DIR");
    return dir.isEmpty() ? QCoreApplication::applicationDirPath() : dir;
}

QString TestEnv::sourceDir()
{
    return qEnvironmentVariable("TWR_SOURCE_DIR");
}

QString TestEnv::buildDir()
{
    return QDir::cleanPath(binDir() + QStringLiteral("/.."));
}

namespace {

// Runs `p` to its end: its exit code, or -1 when it could not start, timed out or crashed.
int finish(QProcess &p, const QString &program, const QStringList &arguments, int timeoutMs)
{
    p.start(program, arguments);
    if (!p.waitForStarted() || !p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace

int TestEnv::run(const QString &program, const QStringList &arguments, QByteArray *output,
                 int timeoutMs)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel); // stderr shows in the test log
    const int code = finish(p, program, arguments, timeoutMs);
    if (output)
        *output = p.readAll();
    return code;
}

Ran TestEnv::runApart(const QString &program, const QStringList &arguments, int timeoutMs)
{
    QProcess p;
    const int code = finish(p, program, arguments, timeoutMs);
    return {code, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QString TestEnv::twrConvert()
{
    return QDir(binDir()).filePath(QStringLiteral("twr-convert"));
}

Ran TestEnv::twrConvert(const QStringList &arguments, int timeoutMs)
{
    return runApart(twrConvert(), arguments, timeoutMs);
}

int TestEnv::python(const QStringList &arguments, QByteArray *output)
{
    return run(QStringLiteral("/usr/bin/python3"), arguments, output);
}

int TestEnv::tagMatrix(const QStringList &arguments, QByteArray *output)
{
    return python(QStringList{sourceDir() + QStringLiteral("/tests/support/tagmatrix.py")} +
                      arguments,
                  output);
}

QByteArray TestEnv::readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestEnv::writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(),
             qPrintable(path));
}

QStringList TestEnv::files(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}
