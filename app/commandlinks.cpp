#include "app/commandlinks.h"

#include "platform/paths.h"
#include "vendor.h"

CommandLinks CommandLinks::fromBuild()
{
    return {
        Paths::userGuide(),
        QStringLiteral(TWR_HOMEPAGE_URL).trimmed(),
        QStringLiteral(TWR_FORUM_URL).trimmed(),
        QStringLiteral(TWR_SUPPORT_EMAIL).trimmed(),
        UpdateConfig::fromEnvironment(),
    };
}
