#include "platform/CdromDrives.h"
#include "tests/support/CueBinImage.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

TEST(CdromDrives, OnlyDiscsHaveAudioTracksAndTheMountTableIsReadBothWays) {
    testsupport::ScratchFolder dir;
    const std::string disc = testsupport::WriteCueBinAudioDisc(dir.Path(), "disc", {{10}, {10}});
    // Drives without an audio disc are disc discovery's test.
    EXPECT_EQ(platform::ReadAudioTracks(disc), (std::vector<int>{1, 2}));

    const std::string mounts =
        dir.MakeFile("mounts", "/dev/sr0 /media/a\\040b\\134c iso9660 ro 0 0\ngarbage\n"
                               "/dev/sr0 /second udf ro 0 0\ntmpfs /media/x tmpfs rw 0 0\n");
    EXPECT_EQ(platform::FindMountPoint("/dev/sr0", mounts), "/media/a b\\c");
    EXPECT_EQ(platform::FindMountedDevice("/second", mounts), "/dev/sr0");
    EXPECT_EQ(platform::FindMountedDevice("/media/x", mounts), std::nullopt); // not a device
    EXPECT_EQ(platform::FindMountPoint("/dev/sr1", mounts), std::nullopt);
    EXPECT_EQ(platform::FindMountPoint("/dev/sr0", dir / "missing"), std::nullopt);
}
