#include "core/DiscDiscovery.h"
#include "core/MediaTypes.h"
#include "tests/support/CueBinImage.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace core;
using testsupport::ScratchFolder;

namespace {

// Drive facts of a made-up machine: an info file and a mount table in the scratch folder.
platform::CdromSources Sources(const ScratchFolder& dir, const std::string& info,
                               const std::string& mounts) {
    platform::CdromSources sources;
    sources.infoFile = dir.MakeFile("info", info);
    sources.mountsFile = dir.MakeFile("mounts", mounts);
    sources.deviceFolder = dir.Path();
    return sources;
}

std::vector<std::string> Tracks(const std::string& device, int count) {
    std::vector<std::string> paths;
    for (int t = 1; t <= count; ++t)
        paths.push_back(device + (t < 10 ? "/Track0" : "/Track") + std::to_string(t) + ".cda");
    return paths;
}

// A folder standing in for a mounted video CD.
std::string MakeVideoCd(const ScratchFolder& dir, const std::string& mountPoint) {
    for (const char* name :
         {"MPEGAV/AVSEQ02.DAT", "MPEGAV/avseq01.dat", "MPEGAV/MUSIC.mpg", "MPEGAV/clip.Mepg",
          "MPEGAV/readme.txt", "MPEGAV/SUB/AVSEQ03.DAT", "SEGMENT/ITEM0001.DAT"})
        dir.MakeFile(mountPoint + "/" + name);
    return dir / mountPoint;
}

} // namespace

TEST(DiscDiscovery, DrivesComeFromTheInfoFileInNameOrder) {
    ScratchFolder dir;
    const auto sources = Sources(dir,
                                 "CD-ROM information, Id: cdrom.c 3.20 2003/12/17\n\n"
                                 "drive name:\t\tsr10\tsr2\tsr0\n"
                                 "drive speed:\t\t24\t24\t24\n",
                                 "");
    EXPECT_EQ(ListCdromDrives(sources),
              (std::vector<std::string>{dir / "sr0", dir / "sr2", dir / "sr10"}));
    platform::CdromSources none = sources;
    none.infoFile = dir / "no-such-file";
    EXPECT_TRUE(ListCdromDrives(none).empty());
}

TEST(DiscDiscovery, AudioDiscTracksBecomeCdaPathsInTrackOrder) {
    ScratchFolder dir;
    const std::string disc = testsupport::WriteCueBinAudioDisc(dir.Path(), "disc", 3);
    const auto sources = Sources(dir, "", "");
    EXPECT_EQ(FindCdClips(disc, sources), Tracks(disc, 3));
    EXPECT_EQ(FindCdClips(disc + "/", sources), Tracks(disc, 3));
    EXPECT_EQ(platform::ReadAudioTracks(disc), (std::vector<int>{1, 2, 3}));
}

TEST(DiscDiscovery, MountPointStandsForItsDevice) {
    ScratchFolder dir;
    const std::string disc = testsupport::WriteCueBinAudioDisc(dir.Path(), "disc", 3);
    const std::string mountPoint = dir.MakeFolder("media/my cd");
    const auto sources = Sources(dir, "",
                                 "/dev/sda1 / ext4 rw 0 0\n" + disc + " " + dir.Path() +
                                     "/media/my\\040cd iso9660 ro 0 0\n");
    EXPECT_EQ(FindCdClips(mountPoint, sources), Tracks(disc, 3));
    EXPECT_EQ(FindCdClips(mountPoint + "/", sources), Tracks(disc, 3));
}

TEST(DiscDiscovery, OpenCdTakesTheFirstDriveWithTracks) {
    ScratchFolder dir;
    dir.MakeFile("sr0", ""); // a drive without a readable disc
    const std::string disc = testsupport::WriteCueBinAudioDisc(dir.Path(), "sr1", 3);
    const auto sources = Sources(dir, "drive name:\tsr1.cue\tsr0\n", "");
    const auto drives = ListCdromDrives(sources);
    ASSERT_EQ(drives, (std::vector<std::string>{dir / "sr0", disc}));
    const DiscOpenResult result = OpenCd(drives, sources);
    EXPECT_EQ(result.paths, Tracks(disc, 3));
    EXPECT_EQ(result.drive, disc);
    EXPECT_TRUE(result.notFoundText.empty());
}

TEST(DiscDiscovery, NothingFoundGivesTheNotFoundTexts) {
    ScratchFolder dir;
    dir.MakeFolder("empty/MPEGAV");
    const auto sources = Sources(dir, "", "");
    for (const auto& drives : {std::vector<std::string>{}, {dir / "empty", dir / "missing"}}) {
        const DiscOpenResult cd = OpenCd(drives, sources);
        EXPECT_TRUE(cd.paths.empty());
        EXPECT_EQ(cd.notFoundText, "Cann't find CD clips(*.CDA) in CD-ROM driver.");
        const DiscOpenResult vcd = OpenVcd(drives, sources);
        EXPECT_TRUE(vcd.paths.empty());
        EXPECT_EQ(vcd.notFoundText, "Cann't find VCD clips(*.DAT) in CD-ROM driver.");
    }
}

TEST(DiscDiscovery, VideoCdClipsOfMpegavOnlyInNameOrder) {
    ScratchFolder dir;
    const std::string root = MakeVideoCd(dir, "vcd");
    const std::vector<std::string> expected = {
        root + "/MPEGAV/avseq01.dat", root + "/MPEGAV/AVSEQ02.DAT", root + "/MPEGAV/clip.Mepg",
        root + "/MPEGAV/MUSIC.mpg"};
    const auto sources = Sources(dir, "", "");
    EXPECT_EQ(FindVcdClips(root, sources), expected);
    EXPECT_EQ(FindVcdClips(root + "/", sources), expected);
    // The audio finder finds nothing on a video CD.
    EXPECT_TRUE(FindCdClips(root, sources).empty());
}

TEST(DiscDiscovery, VideoCdFoundThroughTheDevicesMountPoint) {
    ScratchFolder dir;
    dir.MakeFile("sr0", "");
    dir.MakeFile("sr1", "");
    const std::string root = MakeVideoCd(dir, "mnt/video\tcd");
    const auto sources = Sources(dir, "drive name:\tsr1\tsr0\n",
                                 dir / "sr1" + " " + dir.Path() + "/mnt/video\\011cd udf ro 0 0\n");
    const DiscOpenResult result = OpenVcd(ListCdromDrives(sources), sources);
    EXPECT_EQ(result.drive, dir / "sr1");
    ASSERT_EQ(result.paths.size(), 4u);
    EXPECT_EQ(result.paths[0], root + "/MPEGAV/avseq01.dat");
}

TEST(DiscDiscovery, DriveLetterRootsKeepTheirForm) {
    ScratchFolder dir;
    dir.MakeFile("D:/Track02.cda");
    dir.MakeFile("D:/track10.cda");
    dir.MakeFile("D:/Track09.cda");
    dir.MakeFile("E:/MPEGAV/AVSEQ01.DAT");
    ASSERT_EQ(::chdir(dir.Path().c_str()), 0);
    const auto sources = Sources(dir, "", "");
    const std::vector<std::string> cd = {"D:\\Track02.cda", "D:\\Track09.cda", "D:\\track10.cda"};
    EXPECT_EQ(FindCdClips("D:\\", sources), cd);
    EXPECT_EQ(FindCdClips("D:/", sources), cd);
    EXPECT_EQ(FindVcdClips("E:\\", sources), (std::vector<std::string>{"E:\\MPEGAV\\AVSEQ01.DAT"}));
}
