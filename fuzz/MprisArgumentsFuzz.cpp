// The media controls' argument checks, fed what any process on the session bus could send: a
// method or property name (first byte: one of the known names, or the name spelled out) and
// values of the bus's types, including huge texts, edge numbers and nested containers. Whatever
// comes, a call is refused with a D-Bus error and a short message, or accepted with values the
// player can act on unchecked.
#include "core/PlaylistPaths.h"
#include "shell/MprisArguments.h"

#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QVariantMap>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <strings.h>

namespace {

enum class Kind { Player, Properties, Set };

struct Name {
    Kind kind;
    const char* name;
};

constexpr Name kNames[] = {
    {Kind::Player, "Seek"},    {Kind::Player, "SetPosition"}, {Kind::Player, "OpenUri"},
    {Kind::Player, "Play"},    {Kind::Properties, "Get"},     {Kind::Properties, "GetAll"},
    {Kind::Properties, "Set"}, {Kind::Set, "Volume"},         {Kind::Set, "LoopStatus"},
    {Kind::Set, "Shuffle"},    {Kind::Set, "Rate"},           {Kind::Set, "Position"}};

constexpr const char* kWords[] = {"None",
                                  "Playlist",
                                  "Track",
                                  "org.mpris.MediaPlayer2.Player",
                                  "file:///tmp/a.wav",
                                  "file:///tmp/a%00b",
                                  "http://example.invalid/a",
                                  "/org/corvella/Playlist/Row0"};

constexpr qlonglong kEdges[] = {0,
                                1,
                                -1,
                                std::numeric_limits<qlonglong>::min(),
                                std::numeric_limits<qlonglong>::max(),
                                1'000'000'000'000'000'001};

constexpr double kDoubleEdges[] = {std::numeric_limits<double>::quiet_NaN(),
                                   std::numeric_limits<double>::infinity(),
                                   -std::numeric_limits<double>::infinity(),
                                   -0.0,
                                   0.5,
                                   1e308,
                                   -1e-308};

// Reads the input front to back; past its end every read gives zeros.
class CReader {
public:
    CReader(const std::uint8_t* data, std::size_t size) : m_pData(data), m_size(size) {}
    bool AtEnd() const { return m_pos >= m_size; }
    std::uint8_t Byte() { return m_pos < m_size ? m_pData[m_pos++] : 0; }
    std::uint16_t Word() { return std::uint16_t(Byte() | Byte() << 8); }
    template <typename T> T Raw() {
        unsigned char bytes[sizeof(T)] = {};
        for (unsigned char& byte : bytes)
            byte = Byte();
        T value;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }
    QByteArray Bytes(std::size_t count) {
        count = std::min(count, m_size - std::min(m_pos, m_size));
        const QByteArray bytes(reinterpret_cast<const char*>(m_pData + m_pos), qsizetype(count));
        m_pos += count;
        return bytes;
    }
    QString Text() { return QString::fromUtf8(Bytes(Word())); }

private:
    const std::uint8_t* m_pData;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

QVariant Value(CReader& in, int depth);

// A text made of a short piece repeated, up to about a million characters.
QString HugeText(CReader& in) {
    const QString piece = QString::fromUtf8(in.Bytes(in.Byte() % 8 + 1));
    return piece.repeated(qsizetype(in.Word()) * 16 / std::max<qsizetype>(piece.size(), 1) + 1);
}

QVariantList Values(CReader& in, int depth) {
    QVariantList values;
    for (int count = in.Byte() % 4; count > 0 && !in.AtEnd(); --count)
        values << Value(in, depth + 1);
    return values;
}

QVariant Container(CReader& in, std::uint8_t kind, int depth) {
    if (depth > 3)
        return {};
    if (kind == 0)
        return QVariant::fromValue(QDBusVariant(Value(in, depth + 1)));
    if (kind == 1)
        return Values(in, depth);
    QVariantMap map;
    for (const QVariant& value : Values(in, depth))
        map.insert(in.Text(), value);
    return map;
}

QVariant Value(CReader& in, int depth) {
    switch (const std::uint8_t kind = in.Byte(); kind % 14) {
    case 0:
        return in.Text();
    case 1:
        return HugeText(in);
    case 2:
        return in.Raw<qlonglong>();
    case 3:
        return kEdges[in.Byte() % std::size(kEdges)];
    case 4:
        return in.Raw<double>();
    case 5:
        return kDoubleEdges[in.Byte() % std::size(kDoubleEdges)];
    case 6:
        return bool(in.Byte() & 1);
    case 7:
        return QVariant::fromValue(QDBusObjectPath(in.Text()));
    case 8:
        return in.Bytes(in.Word());
    case 9:
        return QString::fromLatin1(kWords[in.Byte() % std::size(kWords)]);
    case 10:
        return in.Raw<int>();
    case 11:
        return QVariant::fromValue(in.Raw<std::uint8_t>());
    case 12:
        return QStringList{in.Text(), in.Text()};
    default:
        return Container(in, kind / 14 % 3, depth);
    }
}

void Check(bool condition) {
    if (!condition)
        __builtin_trap();
}

void CheckRefused(const shell::MprisArguments& result) {
    Check(result.m_strError.startsWith("org.freedesktop.DBus.Error."));
    Check(result.m_strMessage.size() < 200);
}

bool StartsWithNoCase(const std::string& text, const char* prefix) {
    return strncasecmp(text.c_str(), prefix, std::strlen(prefix)) == 0;
}

void CheckOpen(const shell::MprisArguments& result) {
    const std::string& open = result.m_strOpen;
    Check(open.find('\0') == std::string::npos);
    for (unsigned char c : open)
        Check(c >= 0x20 && c != 0x7f);
    if (result.m_bStream)
        Check(core::IsStreamUri(open) && open.size() <= 3 * shell::kMprisMaxUriLength &&
              (StartsWithNoCase(open, "http://") || StartsWithNoCase(open, "https://")));
    else
        Check(open.size() < 4096 && open[0] == '/');
}

void CheckPlayerCall(const QString& method, const QVariantList& args) {
    const shell::MprisArguments result = shell::CheckPlayerCall(method, args);
    if (!result.Accepted())
        return CheckRefused(result);
    Check(std::llabs(result.m_offsetUs) <= shell::kMprisMaxOffsetUs);
    Check(result.m_positionUs >= 0);
    if (method == "OpenUri")
        CheckOpen(result);
    if (method == "Seek" || method == "SetPosition" || method == "OpenUri")
        Check(!args.isEmpty());
}

void CheckPropertySet(const QString& name, const QVariant& value) {
    const shell::MprisArguments result = shell::CheckPropertySet(name, value);
    if (!result.Accepted())
        return CheckRefused(result);
    Check(name == "Volume" || name == "LoopStatus" || name == "Shuffle" || name == "Rate");
    Check(result.m_volume >= 0 && result.m_volume <= 100);
    if (name == "Volume" && value.metaType().id() == QMetaType::Double)
        Check(std::isfinite(value.toDouble()));
    if (name == "LoopStatus")
        Check(result.m_strLoop == "None" || result.m_strLoop == "Playlist" ||
              result.m_strLoop == "Track");
    if (name == "Shuffle")
        Check(value.metaType().id() == QMetaType::Bool && result.m_bShuffle == value.toBool());
}

void CheckPropertiesCall(const QString& method, const QVariantList& args) {
    const shell::MprisArguments result = shell::CheckPropertiesCall(method, args);
    if (!result.Accepted())
        return CheckRefused(result);
    Check(method == "Get" || method == "GetAll" || method == "Set");
    if (method == "Set") // the service hands the value on as it came
        CheckPropertySet(result.m_strProperty, result.m_value);
}

void Quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const QtMessageHandler previous = qInstallMessageHandler(Quiet); // invalid paths warn
    (void)previous;
    CReader in(data, size);
    const std::uint8_t first = in.Byte();
    const Name known = kNames[first % std::size(kNames)];
    // From 240 up the name is spelled out, under the kind the known name gives.
    const QString name = first >= 240 ? in.Text() : QString::fromLatin1(known.name);
    const QVariantList args = Values(in, 0) + Values(in, 0);
    if (known.kind == Kind::Player)
        CheckPlayerCall(name, args);
    else if (known.kind == Kind::Properties)
        CheckPropertiesCall(name, args);
    else
        CheckPropertySet(name, args.value(0));
    return 0;
}
