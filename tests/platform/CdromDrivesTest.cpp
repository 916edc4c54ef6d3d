#include "platform/CdromDrives.h"
#include "platform/FileSystem.h"
#include "tests/support/CueBinImage.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

using testsupport::ScratchFolder;

TEST(CdromDrives, OnlyDiscsHaveAudioTracks) {
    ScratchFolder dir;
    const std::string disc = testsupport::WriteCueBinAudioDisc(dir.Path(), "disc", 2, 10);
    EXPECT_EQ(platform::ReadAudioTracks(disc), (std::vector<int>{1, 2}));
    EXPECT_EQ(platform::ReadAudioTracks(dir.Path()), std::nullopt);
    EXPECT_EQ(platform::ReadAudioTracks(dir.MakeFile("empty", "")), std::nullopt);
    EXPECT_EQ(platform::ReadAudioTracks(dir / "missing"), std::nullopt);
}

TEST(CdromDrives, MountTableLookupBothWays) {
    ScratchFolder dir;
    const std::string mounts =
        dir.MakeFile("mounts", "/dev/sr0 /media/a\\040b\\134c iso9660 ro 0 0\n"
                               "garbage\n"
                               "/dev/sr0 /second udf ro 0 0\n"
                               "tmpfs /media/x tmpfs rw 0 0\n");
    EXPECT_EQ(platform::FindMountPoint("/dev/sr0", mounts), "/media/a b\\c");
    EXPECT_EQ(platform::FindMountedDevice("/second", mounts), "/dev/sr0");
    EXPECT_EQ(platform::FindMountedDevice("/media/x", mounts), std::nullopt); // not a device
    EXPECT_EQ(platform::FindMountPoint("/dev/sr1", mounts), std::nullopt);
    EXPECT_EQ(platform::FindMountPoint("/dev/sr0", dir / "missing"), std::nullopt);
}

TEST(FileSystem, ListFolderIntoTellsWhyNothingWasListed) {
    ScratchFolder dir;
    dir.MakeFile("a.txt");
    dir.MakeFolder("sub");
    std::vector<platform::FolderEntry> entries;
    EXPECT_EQ(platform::ListFolderInto(dir.Path(), "*", entries), platform::ListStatus::Listed);
    EXPECT_EQ(entries.size(), 2u);
    EXPECT_EQ(platform::ListFolderInto(dir / "a.txt", "*", entries),
              platform::ListStatus::CannotOpen);
    EXPECT_EQ(platform::ListFolderInto(dir / "missing", "*", entries),
              platform::ListStatus::CannotOpen);
    EXPECT_EQ(entries.size(), 2u);
    const auto status = platform::GetFileStatus(dir / "sub");
    ASSERT_TRUE(status.has_value());
    EXPECT_NE(status->inode, 0u);
}
