// Takes the instance lock of the settings folder given as argument, prints "locked" (or
// "busy"), and holds it until its standard input is closed.
#include "platform/instancelock.h"

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc < 2)
        return 2;
    InstanceLock lock(QString::fromLocal8Bit(argv[1]));
    std::puts(lock.heldByAnother() ? "busy" : "locked");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}
