// The arguments of the media-control calls and property sets, checked and converted before the
// player acts on them. They come from any process on the session bus, in any type and size, so
// every check here refuses by type and size before anything proportional to a text is made.
#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

#include <string>

namespace shell {

// The longest URI OpenUri takes: a path of PATH_MAX bytes with every byte percent-encoded.
inline constexpr qsizetype kMprisMaxUriLength = 3 * 4096 + 16;
// Seek offsets are bounded to this many microseconds either way (more than any clip's length),
// so adding one to a position cannot overflow.
inline constexpr qlonglong kMprisMaxOffsetUs = 1'000'000'000'000'000;

// What a checked call asks for. m_strError is empty when the arguments were accepted; else it
// is the D-Bus error name to answer with, and m_strMessage says why in a bounded text.
struct MprisArguments {
    QString m_strError;
    QString m_strMessage;
    qlonglong m_offsetUs = 0;   // Seek, bounded by kMprisMaxOffsetUs
    QString m_strTrackId;       // SetPosition
    qlonglong m_positionUs = 0; // SetPosition, never negative
    bool m_bIgnore = false;     // SetPosition to a negative position: answered, nothing done
    std::string m_strOpen;      // OpenUri: an http(s) address, or an absolute file path
    bool m_bStream = false;     // OpenUri: m_strOpen is an address
    int m_volume = 0;           // Volume, in percent (0 to 100)
    QString m_strLoop;          // LoopStatus: "None", "Playlist" or "Track"
    bool m_bShuffle = false;    // Shuffle
    QString m_strInterface;     // Get, GetAll, Set of the properties interface
    QString m_strProperty;      // Get, Set
    QVariant m_value;           // Set, the value inside the variant

    bool Accepted() const { return m_strError.isEmpty(); }
};

// The argument checks of the player interface's methods; a method without arguments passes.
MprisArguments CheckPlayerCall(const QString& method, const QVariantList& args);
// Get, GetAll and Set of the properties interface; any other method is refused.
MprisArguments CheckPropertiesCall(const QString& method, const QVariantList& args);
// A Set of the player interface's property; PropertyReadOnly for one that cannot be set.
MprisArguments CheckPropertySet(const QString& name, const QVariant& value);

// A caller's text as an error message shows it: at most a line's worth.
QString MprisShown(const QString& text);

} // namespace shell
