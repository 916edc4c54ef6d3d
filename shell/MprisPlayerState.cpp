#include "shell/MprisPlayerState.h"

#include "core/AttribClip.h"
#include "core/PlaylistPaths.h"
#include "platform/FileSystem.h"
#include "playback/EmbeddedCover.h"
#include "playback/EngineManager.h"
#include "playback/UIControl.h"
#include "res/StringTable.h"
#include "shell/FileAssociation.h"
#include "shell/InstanceObjects.h"

#include <QDBusObjectPath>
#include <QStringList>
#include <QUrl>

#include <cmath>
#include <cstdio>
#include <functional>

namespace shell {

namespace {

constexpr double kMicroseconds = 1e6;

const CEngineManager* EngineOf(const CUIControl& control) {
    return dynamic_cast<const CEngineManager*>(control.GetEngineManager());
}

// Seconds as whole microseconds; a length the engine does not know (or reports absurdly) is 0.
qlonglong ToMicroseconds(double seconds) {
    return seconds > 0 && seconds < 1e9 ? qlonglong(std::llround(seconds * kMicroseconds)) : 0;
}

QStringList OpenedMimeTypeList() {
    QStringList types;
    for (const std::string& type : OpenedMimeTypes())
        types << QString::fromStdString(type);
    return types;
}

} // namespace

QString MprisTrackId(const CUIControl& control, const CAttribClip* pClip) {
    const std::ptrdiff_t row = pClip ? control.GetClipList().Find(pClip) : -1;
    if (row < 0)
        return QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");
    return QStringLiteral("/org/corvella/Playlist/Row%1").arg(row);
}

QVariantMap CMprisPlayerState::RootProperties() {
    return {{"CanQuit", true},
            {"CanRaise", true},
            {"HasTrackList", false},
            {"Identity", QString::fromStdString(res::LoadString(116))},
            {"DesktopEntry", QStringLiteral("corvella")},
            {"SupportedUriSchemes", QStringList{"file", "http", "https"}},
            {"SupportedMimeTypes", OpenedMimeTypeList()}};
}

QVariantMap CMprisPlayerState::PlayerProperties() {
    const bool bHasClips = m_control.GetClipList().GetCount() > 0;
    return {{"PlaybackStatus", PlaybackStatus()},
            {"LoopStatus", LoopStatus()},
            {"Shuffle", m_control.GetShuffle()},
            {"Rate", 1.0},
            {"MinimumRate", 1.0},
            {"MaximumRate", 1.0},
            {"Metadata", Metadata()},
            {"Volume", m_control.GetVolume() / 100.0},
            {"Position", PositionUs()},
            {"CanGoNext", m_control.CanNext()},
            {"CanGoPrevious", m_control.CanPrevious()},
            // The play/pause button works whenever there is something to play.
            {"CanPlay", bHasClips},
            {"CanPause", bHasClips},
            {"CanSeek", m_control.CanSeek()},
            {"CanControl", true}};
}

// Repeating one clip wins over repeating the list: it is what happens when the clip ends.
QString CMprisPlayerState::LoopStatus() const {
    if (m_control.GetRepeatOne())
        return QStringLiteral("Track");
    return m_control.GetRepeat() ? QStringLiteral("Playlist") : QStringLiteral("None");
}

QString CMprisPlayerState::PlaybackStatus() {
    switch (m_control.GetEnginePlayState()) {
    case EnginePlaying:
        m_strLastStatus = QStringLiteral("Playing");
        break;
    case EnginePaused:
        m_strLastStatus = QStringLiteral("Paused");
        break;
    case EngineStopped:
        m_strLastStatus = QStringLiteral("Stopped");
        break;
    default:
        break;
    }
    return m_strLastStatus;
}

QVariantMap CMprisPlayerState::Metadata() const {
    const CAttribClip* pClip = m_control.GetCurrentClip();
    QVariantMap metadata{
        {"mpris:trackid", QVariant::fromValue(QDBusObjectPath(MprisTrackId(m_control, pClip)))}};
    if (!pClip)
        return metadata;
    // The open clip's tags give the title and the artist each in a field of its own; a
    // station's name stands for the artist and its current title for the title.
    const CEngineManager* pEngine = EngineOf(m_control);
    const bool bOpen = pEngine && pEngine->GetOpenedPath() == pClip->GetPath();
    const std::string artist = bOpen ? pEngine->GetInfoText1() : std::string();
    const std::string title = bOpen ? pEngine->GetInfoText2() : std::string();
    metadata["xesam:title"] =
        QString::fromStdString(title.empty() ? pClip->GetDisplayTitle() : title);
    if (!artist.empty())
        metadata["xesam:artist"] = QStringList{QString::fromStdString(artist)};
    if (const QString cover = CoverUrl(pClip->GetPath()); !cover.isEmpty())
        metadata["mpris:artUrl"] = cover;
    const QString path = QString::fromStdString(pClip->GetPath());
    metadata["xesam:url"] = core::IsStreamUri(pClip->GetPath())
                                ? path
                                : QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    if (const qlonglong length = LengthUs(); length > 0)
        metadata["mpris:length"] = length;
    return metadata;
}

CMprisPlayerState::~CMprisPlayerState() {
    if (!m_strCoverFile.empty())
        std::remove(m_strCoverFile.c_str());
}

QString CMprisPlayerState::CoverUrl(const std::string& strPath) const {
    if (strPath == m_strCoverFor)
        return m_strCoverUrl;
    m_strCoverFor = strPath;
    if (!m_strCoverFile.empty())
        std::remove(m_strCoverFile.c_str());
    m_strCoverFile.clear();
    m_strCoverUrl.clear();
    const std::string picture = playback::ReadEmbeddedCover(strPath);
    const std::string folder = picture.empty() ? std::string() : PrivateCacheFolder();
    if (folder.empty())
        return {};
    // A name of its own per clip, so the desktop does not show the previous clip's picture
    // from its own cache.
    char name[32];
    std::snprintf(name, sizeof name, "/cover-%016zx", std::hash<std::string>{}(strPath));
    if (!platform::WriteFileAtomically(folder + name, picture))
        return {};
    m_strCoverFile = folder + name;
    m_strCoverUrl =
        QUrl::fromLocalFile(QString::fromStdString(m_strCoverFile)).toString(QUrl::FullyEncoded);
    return m_strCoverUrl;
}

qlonglong CMprisPlayerState::PositionUs() const {
    const CEngineManager* pEngine = EngineOf(m_control);
    if (!pEngine || m_control.GetEnginePlayState() == EngineStopped)
        return 0;
    return ToMicroseconds(pEngine->GetPosition());
}

qlonglong CMprisPlayerState::LengthUs() const {
    const CAttribClip* pClip = m_control.GetCurrentClip();
    if (!pClip)
        return 0;
    // The engine knows the open clip's length exactly; the playlist keeps whole seconds.
    if (const CEngineManager* pEngine = EngineOf(m_control);
        pEngine && pEngine->GetOpenedPath() == pClip->GetPath())
        if (const qlonglong length = ToMicroseconds(pEngine->GetDuration()); length > 0)
            return length;
    return ToMicroseconds(pClip->GetDuration());
}

} // namespace shell
