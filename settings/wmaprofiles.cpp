#include "settings/wmaprofiles.h"

#include <array>

namespace {

struct Profile
{
    int number;
    const char *first;
    const char *second;
};

constexpr std::array<Profile, 7> Profiles{{
    {36, "  - Audio for low bit rate voice-oriented content (6.5 Kbps)",
     "  - Use for content that emphasizes voice, such as presentations. Encodes a low bit rate, "
     "audio-only stream."},
    {23, "  - Audio for FM radio quality for dial-up modems (28.8 Kbps stereo)",
     "  - Use for music content or an alternative for radio and mixed audio content. Encodes "
     "stereo audio-only content. Target audience has a dial-up modem connection (28.8 Kbps or "
     "greater)."},
    {16, "  - Audio for dial-up modems (48 Kbps stereo)",
     "  - Use for music content or an alternative for radio and mixed audio content. Encodes "
     "Near CD quality audio. Target audience has a dial-up modem connection (56 Kbps or "
     "greater)."},
    {13, "  - Audio for single-channel ISDN (64 Kbps stereo)",
     "  - Use for radio, music, and general-purpose audio content. Also suited for local "
     "playback. Encodes CD quality audio. Target audience has a single-channel ISDN connection "
     "or greater."},
    {11, "  - Audio for near-CD quality (96 Kbps stereo)",
     "  - Use for radio, music, and general-purpose audio content. Also suited for local "
     "playback. Encodes Better than CD quality audio. Target audience has a dual-channel ISDN "
     "connection or greater."},
    {10, "  - Audio for CD-quality (128 Kbps stereo)",
     "  - Use for target audiences with a high-speed Internet or LAN connection. Also suited for "
     "local playback. Encodes Better than CD quality stereo audio content."},
    {8, "  - Audio for CD-quality transparency (192 Kbps stereo)",
     "  - Use for target audiences with a high-speed Internet or LAN connection. Also suited for "
     "local playback. Encodes Better than CD quality transparency audio content."},
}};

const Profile *profileAt(int position)
{
    if (position < WmaProfiles::First || position > WmaProfiles::Last)
        return nullptr;
    return &Profiles[std::size_t(position - WmaProfiles::First)];
}

} // namespace

namespace WmaProfiles {

std::optional<int> WmaProfileNumbers(int position)
{
    if (const Profile *p = profileAt(position))
        return p->number;
    return std::nullopt;
}

QString description(int position, const QString &format)
{
    const Profile *p = profileAt(position);
    if (!p)
        return {};
    const QString crlf = QStringLiteral("\r\n");
    // The 96 kbit/s entry has always been shown without the blank line between its two lines.
    const QString between = position == 5 ? crlf : crlf + crlf;
    return QStringLiteral("Current Select: ") + format + crlf + QString(39, QLatin1Char('=')) +
           crlf + crlf + QStringLiteral("Description:") + crlf + crlf +
           QString::fromLatin1(p->first) + between + QString::fromLatin1(p->second);
}

} // namespace WmaProfiles
