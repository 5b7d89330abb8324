#include "platform/platform.h"

#include "platform/desktopplatform.h"

namespace {
std::unique_ptr<Platform> &current()
{
    static std::unique_ptr<Platform> platform;
    return platform;
}
} // namespace

Platform &Platform::instance()
{
    if (!current())
        current() = std::make_unique<DesktopPlatform>();
    return *current();
}

void Platform::install(std::unique_ptr<Platform> platform)
{
    current() = std::move(platform);
}
