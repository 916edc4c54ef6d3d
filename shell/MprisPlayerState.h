// The player as the desktop's media controls see it: the properties of the media player
// interfaces read from the playback controller, in the types the session
// bus carries (times in microseconds, the volume as a fraction, the clip as an object path).
#pragma once

#include <QString>
#include <QVariantMap>
#include <string>

class CAttribClip;
class CUIControl;

namespace shell {

inline const QString kMprisRootInterface = QStringLiteral("org.mpris.MediaPlayer2");
inline const QString kMprisPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

// The object path naming a playlist row ("no track" for none).
QString MprisTrackId(const CUIControl& control, const CAttribClip* pClip);

class CMprisPlayerState {
public:
    explicit CMprisPlayerState(CUIControl& control) : m_control(control) {}
    ~CMprisPlayerState();
    CMprisPlayerState(const CMprisPlayerState&) = delete;
    CMprisPlayerState& operator=(const CMprisPlayerState&) = delete;

    static QVariantMap RootProperties();
    // Every property of the player interface; Position included.
    QVariantMap PlayerProperties();
    // Where the open clip is, and how long it is, in microseconds (0 when nothing is open).
    qlonglong PositionUs() const;
    qlonglong LengthUs() const;

private:
    QString LoopStatus() const;
    QString PlaybackStatus();
    QVariantMap Metadata() const;
    // A file:// URL of the picture embedded in the clip's file, copied into a private cache
    // file; empty when it has none. Read once per clip.
    QString CoverUrl(const std::string& strPath) const;

    CUIControl& m_control;
    // While the engine opens or buffers it reports "busy"; the desktop keeps seeing the
    // status it saw before, so a clip change does not flicker through "Stopped".
    QString m_strLastStatus = QStringLiteral("Stopped");
    mutable std::string m_strCoverFor;  // the clip whose cover was looked for last
    mutable std::string m_strCoverFile; // the cache file holding it, removed with the next
    mutable QString m_strCoverUrl;
};

} // namespace shell
