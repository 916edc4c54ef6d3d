// The media controls' argument checks: wrong types and huge or hidden-byte texts are refused,
// and numbers that would overflow the player's arithmetic are bounded.
#include "shell/MprisArguments.h"

#include <QDBusObjectPath>

#include <gtest/gtest.h>

#include <limits>

using shell::CheckPlayerCall;
using shell::CheckPropertySet;

namespace {

const QString kInvalidArgs = QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs");

} // namespace

TEST(MediaControlsArgumentsTest, SeekAndPositionAreBounded) {
    EXPECT_EQ(CheckPlayerCall("Seek", {std::numeric_limits<qlonglong>::max()}).m_offsetUs,
              shell::kMprisMaxOffsetUs);
    const QVariant row = QVariant::fromValue(QDBusObjectPath("/org/corvella/Playlist/Row0"));
    EXPECT_TRUE(CheckPlayerCall("SetPosition", {row, qlonglong(-1)}).m_bIgnore);
    EXPECT_EQ(CheckPlayerCall("Seek", {1.5}).m_strError, kInvalidArgs);
}

TEST(MediaControlsArgumentsTest, OpenUriRefusesHugeAndHiddenBytes) {
    const shell::MprisArguments huge =
        CheckPlayerCall("OpenUri", {"file:///" + QString(10'000'000, 'a')});
    EXPECT_EQ(huge.m_strError, kInvalidArgs);
    EXPECT_LT(huge.m_strMessage.size(), 100);
    EXPECT_EQ(CheckPlayerCall("OpenUri", {"file:///tmp/a%00b"}).m_strError, kInvalidArgs);
    EXPECT_EQ(CheckPlayerCall("OpenUri", {"file:///tmp/a.wav"}).m_strOpen, "/tmp/a.wav");
}

TEST(MediaControlsArgumentsTest, PropertiesTakeOnlyTheirOwnTypes) {
    EXPECT_EQ(CheckPropertySet("Volume", QByteArray("0.5")).m_strError, kInvalidArgs);
    EXPECT_EQ(CheckPropertySet("Volume", true).m_strError, kInvalidArgs);
    EXPECT_EQ(CheckPropertySet("Volume", 0.3).m_volume, 30);
    EXPECT_EQ(CheckPropertySet("LoopStatus", QByteArray("Track")).m_strError, kInvalidArgs);
    EXPECT_EQ(CheckPropertySet("Rate", QString("fast")).m_strError, kInvalidArgs);
}
