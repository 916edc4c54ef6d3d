#include "platform/XspfReader.h"

#include <QXmlStreamReader>

namespace platform {

namespace {

// A duration that is no whole number of milliseconds reads as unknown.
std::uint64_t ParseDuration(const QString& text) {
    bool ok = false;
    const qulonglong value = text.trimmed().toULongLong(&ok);
    return ok ? value : 0;
}

XspfTrack ReadTrack(QXmlStreamReader& xml) {
    XspfTrack track;
    while (xml.readNextStartElement()) {
        const auto name = xml.name();
        if (name == QLatin1String("location") && track.location.empty())
            track.location = xml.readElementText().trimmed().toStdString();
        else if (name == QLatin1String("title"))
            track.title = xml.readElementText().toStdString();
        else if (name == QLatin1String("duration"))
            track.durationMs = ParseDuration(xml.readElementText());
        else
            xml.skipCurrentElement();
    }
    return track;
}

void ReadTrackList(QXmlStreamReader& xml, std::vector<XspfTrack>& tracks) {
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("track")) {
            xml.skipCurrentElement();
            continue;
        }
        XspfTrack track = ReadTrack(xml);
        if (!track.location.empty())
            tracks.push_back(std::move(track));
    }
}

} // namespace

std::optional<std::vector<XspfTrack>> ReadXspf(std::string_view text) {
    QXmlStreamReader xml(QByteArray(text.data(), qsizetype(text.size())));
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("playlist"))
        return std::nullopt;
    std::vector<XspfTrack> tracks;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("trackList"))
            ReadTrackList(xml, tracks);
        else
            xml.skipCurrentElement();
    }
    if (xml.hasError())
        return std::nullopt;
    return tracks;
}

} // namespace platform
