#include "core/DiscDiscovery.h"
#include "core/MediaTypes.h"
#include "tests/support/CueBinImage.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace core;
using testsupport::ScratchFolder;
using Paths = std::vector<std::string>;

namespace {

// Drive facts of a made-up machine: an info file and a mount table in the scratch folder.
platform::CdromSources Sources(const ScratchFolder& dir, const std::string& info,
                               const std::string& mounts) {
    return {dir.MakeFile("info", info), dir.MakeFile("mounts", mounts), dir.Path()};
}

Paths Tracks(const std::string& device, int count) {
    Paths paths;
    for (int t = 1; t <= count; ++t)
        paths.push_back(device + (t < 10 ? "/Track0" : "/Track") + std::to_string(t) + ".cda");
    return paths;
}

} // namespace

// An audio disc's tracks become .cda paths in track order, found through the device, its
// mount point (which stands for the device) or the first drive that has tracks. Drives are
// listed in natural name order.
TEST(DiscDiscovery, AudioDiscTracksThroughDeviceMountPointAndDriveList) {
    ScratchFolder dir;
    dir.MakeFile("sr0", ""); // a drive without a readable disc
    const std::string disc = testsupport::WriteCueBinAudioDisc(dir.Path(), "sr1", {{}, {}, {}});
    const std::string mountPoint = dir.MakeFolder("media/my cd");
    const auto sources = Sources(dir,
                                 "CD-ROM information\n\ndrive name:\t\tsr10\tsr1.cue\tsr9\tsr0\n"
                                 "drive speed:\t\t24\t24\t24\t24\n",
                                 "/dev/sda1 / ext4 rw 0 0\n" + disc + " " + dir.Path() +
                                     "/media/my\\040cd iso9660 ro 0 0\n");
    for (const std::string& root : {disc, disc + "/", mountPoint, mountPoint + "/"})
        EXPECT_EQ(FindCdClips(root, sources), Tracks(disc, 3)) << root;
    const auto drives = ListCdromDrives(sources);
    ASSERT_EQ(drives, (Paths{dir / "sr0", dir / "sr9", dir / "sr10", disc}));
    const DiscOpenResult result = OpenCd(drives, sources);
    EXPECT_EQ(result.paths, Tracks(disc, 3));
    EXPECT_TRUE(result.drive == disc && result.notFoundText.empty());
}

TEST(DiscDiscovery, VideoCdClipsOfMpegavOnlyInNameOrderAlsoThroughTheMountPoint) {
    ScratchFolder dir;
    dir.MakeFile("sr0", "");
    dir.MakeFile("sr1", "");
    for (const char* name :
         {"MPEGAV/AVSEQ02.DAT", "MPEGAV/avseq01.dat", "MPEGAV/MUSIC.mpg", "MPEGAV/clip.Mepg",
          "MPEGAV/readme.txt", "MPEGAV/SUB/AVSEQ03.DAT", "SEGMENT/ITEM0001.DAT"})
        dir.MakeFile(std::string("mnt/video\tcd/") + name);
    const std::string root = dir / "mnt/video\tcd";
    const Paths expected = {root + "/MPEGAV/avseq01.dat", root + "/MPEGAV/AVSEQ02.DAT",
                            root + "/MPEGAV/clip.Mepg", root + "/MPEGAV/MUSIC.mpg"};
    const auto sources = Sources(dir, "drive name:\tsr1\tsr0\n",
                                 dir / "sr1" + " " + dir.Path() + "/mnt/video\\011cd udf ro 0 0\n");
    for (const std::string& at : {root, root + "/"})
        EXPECT_EQ(FindVcdClips(at, sources), expected) << at;
    EXPECT_TRUE(FindCdClips(root, sources).empty()); // no audio tracks on a video CD
    const DiscOpenResult result = OpenVcd(ListCdromDrives(sources), sources);
    EXPECT_EQ(result.drive, dir / "sr1");
    EXPECT_EQ(result.paths, expected);
}

// "D:" is an ordinary folder name here; the clips are still named D:\<name> as on a drive. Where
// nothing is found, the not-found texts are given.
TEST(DiscDiscovery, DriveLetterRootsKeepTheirFormAndNothingFoundGivesTheTexts) {
    ScratchFolder dir;
    for (const char* name :
         {"D:/Track02.cda", "D:/track10.cda", "D:/Track09.cda", "E:/MPEGAV/AVSEQ01.DAT"})
        dir.MakeFile(name);
    dir.MakeFolder("empty/MPEGAV");
    ASSERT_EQ(::chdir(dir.Path().c_str()), 0);
    auto sources = Sources(dir, "", "");
    const Paths tracks = {"D:\\Track02.cda", "D:\\Track09.cda", "D:\\track10.cda"};
    for (const char* root : {"D:\\", "D:/", "D:\\\\", "D:"})
        EXPECT_EQ(FindCdClips(root, sources), tracks) << root;
    EXPECT_EQ(FindVcdClips("E:\\", sources), (Paths{"E:\\MPEGAV\\AVSEQ01.DAT"}));

    sources.infoFile = dir / "no-such-file";
    EXPECT_TRUE(ListCdromDrives(sources).empty());
    for (const auto& drives : {Paths{}, {dir / "empty", dir / "missing"}}) {
        const DiscOpenResult cd = OpenCd(drives, sources), vcd = OpenVcd(drives, sources);
        EXPECT_TRUE(cd.paths.empty() && vcd.paths.empty() && cd.drive.empty());
        EXPECT_EQ(cd.notFoundText, "Cann't find CD clips(*.CDA) in CD-ROM driver.");
        EXPECT_EQ(vcd.notFoundText, "Cann't find VCD clips(*.DAT) in CD-ROM driver.");
    }
}
