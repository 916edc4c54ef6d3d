#include "platform/FileSystem.h"
#include "platform/CdromDrives.h"
#include "tests/support/CueBinImage.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/Unprivileged.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

TEST(FileSystem, PatternsIgnoreCaseListingTellsWhyNothingWasListedUnreadableFilesAreKnown) {
    using platform::MatchesPattern;
    EXPECT_TRUE(MatchesPattern("Track01.CDA", "*.cda") && MatchesPattern("a.mp3", "?.MP3") &&
                MatchesPattern("x", "*"));
    EXPECT_FALSE(MatchesPattern("ab.mp3", "?.mp3") || MatchesPattern("song.mp3x", "*.mp3"));
    testsupport::ScratchFolder dir;
    const std::string locked = dir.MakeFile("locked.mp3");
    const std::string open = dir.MakeFile("open.mp3");
    dir.MakeFolder("sub");
    std::vector<platform::FolderEntry> entries;
    EXPECT_EQ(platform::ListFolderInto(dir.Path(), "*", entries), platform::ListStatus::Listed);
    EXPECT_EQ(entries.size(), 3u);
    for (const std::string& notFolder : {open, dir / "missing"})
        EXPECT_EQ(platform::ListFolderInto(notFolder, "*", entries),
                  platform::ListStatus::CannotOpen);
    EXPECT_EQ(entries.size(), 3u);
    EXPECT_NE(platform::GetFileStatus(dir / "sub").value().inode, 0u);

    ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
    ASSERT_EQ(::chmod(open.c_str(), 0644), 0);
    const auto seen = testsupport::RunUnprivileged([&] {
        std::string out;
        for (const std::string& path : {locked, open, dir.Path(), dir / "gone.mp3"})
            out += platform::IsUnreadableFile(path) ? '1' : '0';
        return out;
    });
    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(*seen, "1000") << "only the file that is there and may not be read";
}

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
