#include "app/commandlinks.h"

#include "options/frmoption.h"
#include "platform/paths.h"
#include "vendor.h"

CommandLinks CommandLinks::fromBuild()
{
    return {
        Paths::withTrailingSeparator(Paths::programDir()) + QLatin1String(frmOption::GuideName),
        QStringLiteral(TWR_HOMEPAGE_URL).trimmed(),
        QStringLiteral(TWR_FORUM_URL).trimmed(),
        QStringLiteral(TWR_SUPPORT_EMAIL).trimmed(),
    };
}
