#include "shell/MprisArguments.h"

#include "core/PlaylistPaths.h"

#include <QDBusError>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace shell {

namespace {

constexpr qsizetype kMaxShownLength = 80;
constexpr std::size_t kMaxPathBytes = 4096; // PATH_MAX, the terminating zero included

MprisArguments Refused(QDBusError::ErrorType type, const QString& message) {
    MprisArguments result;
    result.m_strError = QDBusError::errorString(type);
    result.m_strMessage = message;
    return result;
}

MprisArguments InvalidArgs(const QString& message) {
    return Refused(QDBusError::InvalidArgs, message);
}

// True when the arguments have exactly these types.
bool ArgumentsAre(const QVariantList& args, std::initializer_list<int> types) {
    if (args.size() != qsizetype(types.size()))
        return false;
    qsizetype i = 0;
    for (int type : types)
        if (args[i++].metaType().id() != type)
            return false;
    return true;
}

// The bus's number types; a boolean, a text or bytes are not numbers here even though
// QVariant converts them.
bool IsNumber(const QVariant& value) {
    switch (value.metaType().id()) {
    case QMetaType::Double:
    case QMetaType::UChar:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

bool HasControlCharacter(const QString& text) {
    return std::any_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
}

// A local file named by a "file:" URI or an absolute path; empty for anything else.
std::string LocalFileOf(const QString& uri) {
    const QUrl url(uri);
    if (url.isLocalFile())
        return url.toLocalFile().toStdString();
    if (uri.startsWith('/'))
        return uri.toStdString();
    return {};
}

MprisArguments CheckOpenUri(const QVariantList& args) {
    if (!ArgumentsAre(args, {QMetaType::QString}))
        return InvalidArgs("OpenUri takes one text argument");
    const QString uri = args[0].toString();
    if (uri.size() > kMprisMaxUriLength)
        return InvalidArgs(QStringLiteral("the URI is longer than %1").arg(kMprisMaxUriLength));
    if (HasControlCharacter(uri))
        return InvalidArgs("the URI holds a control character");
    MprisArguments result;
    result.m_strOpen = uri.toStdString();
    result.m_bStream = core::IsStreamUri(result.m_strOpen);
    if (result.m_bStream)
        return result; // a stream is opened as given; whether it answers shows when it plays
    result.m_strOpen = LocalFileOf(uri);
    if (result.m_strOpen.empty() || result.m_strOpen[0] != '/')
        return Refused(QDBusError::NotSupported,
                       "only file and http(s) URIs open: " + MprisShown(uri));
    // A decoded "%00" would name another file than the one checked.
    if (result.m_strOpen.find('\0') != std::string::npos ||
        result.m_strOpen.size() >= kMaxPathBytes)
        return InvalidArgs("not a file path: " + MprisShown(uri));
    return result;
}

MprisArguments CheckVolume(const QVariant& value) {
    const double volume = IsNumber(value) ? value.toDouble() : NAN;
    if (!std::isfinite(volume))
        return InvalidArgs("the volume is a number");
    // The volume bar ends at full volume.
    MprisArguments result;
    result.m_volume = int(std::lround(std::clamp(volume, 0.0, 1.0) * 100));
    return result;
}

MprisArguments CheckLoopStatus(const QVariant& value) {
    if (value.metaType().id() != QMetaType::QString)
        return InvalidArgs("the loop status is a text");
    const QString loop = value.toString();
    if (loop != "None" && loop != "Playlist" && loop != "Track")
        return InvalidArgs("no such loop status: " + MprisShown(loop));
    MprisArguments result;
    result.m_strLoop = loop;
    return result;
}

} // namespace

QString MprisShown(const QString& text) {
    if (text.size() <= kMaxShownLength)
        return text;
    return text.left(kMaxShownLength) + QStringLiteral("...");
}

MprisArguments CheckPlayerCall(const QString& method, const QVariantList& args) {
    MprisArguments result;
    if (method == "Seek") {
        if (!ArgumentsAre(args, {QMetaType::LongLong}))
            return InvalidArgs("Seek takes other arguments");
        result.m_offsetUs = std::clamp(args[0].toLongLong(), -kMprisMaxOffsetUs, kMprisMaxOffsetUs);
    } else if (method == "SetPosition") {
        if (!ArgumentsAre(args, {qMetaTypeId<QDBusObjectPath>(), QMetaType::LongLong}))
            return InvalidArgs("SetPosition takes other arguments");
        result.m_strTrackId = qvariant_cast<QDBusObjectPath>(args[0]).path();
        result.m_positionUs = std::max<qlonglong>(args[1].toLongLong(), 0);
        result.m_bIgnore = args[1].toLongLong() < 0;
    } else if (method == "OpenUri") {
        return CheckOpenUri(args);
    }
    return result;
}

MprisArguments CheckPropertiesCall(const QString& method, const QVariantList& args) {
    MprisArguments result;
    if (method == "GetAll" && ArgumentsAre(args, {QMetaType::QString})) {
        result.m_strInterface = args[0].toString();
    } else if (method == "Get" && ArgumentsAre(args, {QMetaType::QString, QMetaType::QString})) {
        result.m_strInterface = args[0].toString();
        result.m_strProperty = args[1].toString();
    } else if (method == "Set" && ArgumentsAre(args, {QMetaType::QString, QMetaType::QString,
                                                      qMetaTypeId<QDBusVariant>()})) {
        result.m_strInterface = args[0].toString();
        result.m_strProperty = args[1].toString();
        result.m_value = qvariant_cast<QDBusVariant>(args[2]).variant();
    } else {
        return InvalidArgs("no such call on the properties interface: " + MprisShown(method));
    }
    return result;
}

MprisArguments CheckPropertySet(const QString& name, const QVariant& value) {
    if (name == "Volume")
        return CheckVolume(value);
    if (name == "LoopStatus")
        return CheckLoopStatus(value);
    if (name == "Shuffle") {
        if (value.metaType().id() != QMetaType::Bool)
            return InvalidArgs("shuffle is true or false");
        MprisArguments result;
        result.m_bShuffle = value.toBool();
        return result;
    }
    if (name == "Rate") { // only the normal rate exists: setting it changes nothing
        if (!IsNumber(value))
            return InvalidArgs("the rate is a number");
        return {};
    }
    return Refused(QDBusError::PropertyReadOnly, MprisShown(name) + " is read only");
}

} // namespace shell
