// The media controls' argument checks: wrong types and huge or hidden-byte texts are refused,
// and numbers that would overflow the player's arithmetic are bounded.
#include "shell/MprisArguments.h"

#include <QDBusObjectPath>

#include <gtest/gtest.h>

#include <limits>

using shell::CheckPlayerCall;
using shell::CheckPropertySet;

TEST(MediaControlsArgumentsTest, WrongTypesAndHugeOrHiddenByteTextsAreRefusedNumbersBounded) {
    EXPECT_EQ(CheckPlayerCall("Seek", {std::numeric_limits<qlonglong>::max()}).m_offsetUs,
              shell::kMprisMaxOffsetUs);
    const QVariant row = QVariant::fromValue(QDBusObjectPath("/org/corvella/Playlist/Row0"));
    EXPECT_TRUE(CheckPlayerCall("SetPosition", {row, qlonglong(-1)}).m_bIgnore);
    EXPECT_EQ(CheckPlayerCall("OpenUri", {"file:///tmp/a.wav"}).m_strOpen, "/tmp/a.wav");
    EXPECT_EQ(CheckPropertySet("Volume", 0.3).m_volume, 30);
    const shell::MprisArguments huge =
        CheckPlayerCall("OpenUri", {"file:///" + QString(10'000'000, 'a')});
    EXPECT_LT(huge.m_strMessage.size(), 100);
    const shell::MprisArguments refused[] = {
        huge,
        CheckPlayerCall("OpenUri", {"file:///tmp/a%00b"}),
        CheckPlayerCall("Seek", {1.5}),
        CheckPropertySet("Volume", QByteArray("0.5")),
        CheckPropertySet("Volume", true),
        CheckPropertySet("LoopStatus", QByteArray("Track")),
        CheckPropertySet("Rate", QString("fast")),
    };
    for (const shell::MprisArguments& args : refused)
        EXPECT_EQ(args.m_strError, "org.freedesktop.DBus.Error.InvalidArgs") << &args - refused;
}
