#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP (a session ending, `kill`, Ctrl+C) as a Qt signal on the UI
// thread, so the program closes its window the normal way instead of dying mid-write. One
// per process; a second signal while the first is handled ends the program at once.
class QuitSignals : public QObject
{
    Q_OBJECT
public:
    explicit QuitSignals(QObject *parent = nullptr);
    ~QuitSignals() override;

signals:
    void quitRequested();

private:
    void readSignal();

    QSocketNotifier *m_notifier = nullptr;
};
