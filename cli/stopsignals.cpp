#include "cli/stopsignals.h"

#include "engine/temporaryfiles.h"

#include <csignal>
#include <cstdio>
#include <pthread.h>
#include <thread>

void StopSignals::install()
{
    sigset_t set;
    sigemptyset(&set);
    for (const int number : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&set, number);
    // Threads started later inherit the mask, so only the watcher ever sees these.
    if (pthread_sigmask(SIG_BLOCK, &set, nullptr) != 0)
        return;
    std::thread([set] {
        int number = 0;
        while (sigwait(&set, &number) != 0) {
        }
        std::fputs("\ntwr-convert: stopped; the files being converted were not written\n", stderr);
        TemporaryFiles::removeAllAndExit(128 + number);
    }).detach();
}
