#include "core/PlaylistFile.h"
#include "core/AttribClip.h"
#include "core/PlaylistImporter.h"
#include "tests/core/CoreTestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using coretest::Messages;
using testsupport::ScratchFolder;
using Paths = std::vector<std::string>;

namespace {

Paths PathsOf(const CObjListClip& list) {
    Paths out;
    for (std::size_t i = 0; i < list.GetCount(); ++i)
        out.push_back(list.GetAt(i)->GetPath());
    return out;
}

void AddClips(CObjListClip& list, const Paths& paths) {
    for (const std::string& path : paths)
        list.Add(std::make_unique<CAttribClip>())->SetPath(path);
}

bool Save(const Paths& paths, const std::string& file) {
    CObjListClip list;
    AddClips(list, paths);
    return core::SavePlaylist(list, file, nullptr);
}

const std::string kCaption = "File Exception.";

} // namespace

TEST(LoadFileInfo, ReadsStatusAndTypeOrChangesNothing) {
    ScratchFolder dir;
    const std::string song = dir.MakeFile("song.mp3", "12345");
    CAttribClip clip;
    clip.SetTitle("kept");
    clip.SetPlayable(0);
    ASSERT_TRUE(clip.LoadFileInfo(song));
    EXPECT_TRUE(clip.GetPath() == song && clip.GetFileSize() == 5 && clip.GetInfoLoaded() == 1);
    EXPECT_TRUE(clip.GetModified() != 0 && !clip.GetTypeName().empty());
    EXPECT_TRUE(clip.GetTitle() == "kept" && !clip.GetPlayable());

    // A FIFO named like a media file would block whoever opens it. A failed load changes nothing
    // but the loaded flag (missing files and folders are the adding test's).
    ASSERT_EQ(::mkfifo((dir / "pipe.ogg").c_str(), 0600), 0);
    for (const std::string& bad : {dir / "pipe.ogg", song + std::string("\0x", 2)}) {
        CAttribClip c = clip;
        EXPECT_FALSE(c.LoadFileInfo(bad));
        EXPECT_TRUE(c.GetInfoLoaded() == 0 && c.GetPath() == song && c.GetFileSize() == 5 &&
                    c.GetTypeName() == clip.GetTypeName())
            << bad;
    }
}

TEST(PlaylistFile, SaveWritesTheNativeImageOrReportsAndKeepsTheEarlierFile) {
    ScratchFolder dir;
    Messages msgs;
    EXPECT_TRUE(core::SavePlaylist(CObjListClip(), dir / "empty.mpl", msgs.Reporter()));
    CObjListClip list;
    AddClips(list, {"/m/a.mp3", "C:\\m\\b.mp3"});
    list.GetAt(1)->SetPlayable(0);
    const std::string file = dir / "two.mpl";
    ASSERT_TRUE(core::SavePlaylist(list, file, msgs.Reporter()));
    // Loading appends.
    CObjListClip target;
    AddClips(target, {"/first.mp3"});
    ASSERT_TRUE(core::LoadPlaylist(target, file, msgs.Reporter()));
    EXPECT_EQ(PathsOf(target), (Paths{"/first.mp3", "/m/a.mp3", "C:\\m\\b.mp3"}));
    EXPECT_EQ(target.GetAt(2)->GetPlayable(), 0);
    EXPECT_TRUE(msgs.list.empty());
    // No temporary files are left beside the two written.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);

    const std::string missingFolder = dir / "nope/list.mpl";
    EXPECT_FALSE(core::SavePlaylist(list, missingFolder, msgs.Reporter()));
    ASSERT_EQ(msgs.list.size(), 1u);
    EXPECT_EQ(msgs.list[0], std::make_pair(kCaption, "Cann't save file.\n\n " + missingFolder));
    // A folder in the way cannot be replaced; it and its content stay.
    dir.MakeFile("busy.mpl/keep", "x");
    EXPECT_FALSE(core::SavePlaylist(list, dir / "busy.mpl", msgs.Reporter()));
    EXPECT_EQ(coretest::Read(dir / "busy.mpl/keep"), "x");
    EXPECT_EQ(msgs.list.size(), 2u);
}

// Damaged playlists add nothing and are reported, but the program's own kept file gives up what
// it can: cut anywhere or followed by other bytes, it is reported damaged and yields the clips
// before the damage, in order.
TEST(PlaylistFile, DamagedNativeFilesAddNothingButAKeptFileGivesTheClipsBeforeTheDamage) {
    ScratchFolder dir;
    const Paths paths = {"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"};
    const std::string good = dir / "kept.mpl";
    ASSERT_TRUE(Save(paths, good));
    const std::string image = coretest::Read(good);
    dir.MakeFolder("folder.mpl");
    for (const std::string& path :
         {dir.MakeFile("cut.mpl", image.substr(0, image.size() - 12)),
          dir.MakeFile("empty.mpl", ""), dir / "missing.mpl", dir / "folder.mpl",
          dir.MakeFile("text.mpl", "#EXTM3U\n/a.mp3\n")}) {
        Messages msgs;
        CObjListClip target;
        AddClips(target, {"/keep.mp3"});
        EXPECT_FALSE(core::LoadPlaylist(target, path, msgs.Reporter())) << path;
        EXPECT_EQ(PathsOf(target), Paths{"/keep.mp3"}) << path;
        ASSERT_EQ(msgs.list.size(), 1u) << path;
        EXPECT_EQ(msgs.list[0], std::make_pair(kCaption, "Cann't load file.\n\n " + path));
    }
    // Beyond the read limit, native and foreign playlists say so rather than "damaged".
    for (const std::string name : {"large.mpl", "large.m3u"}) {
        const std::string large = dir.MakeFile(name, "");
        std::filesystem::resize_file(large, PlaylistImporter::kMaxFileBytes + 1);
        Messages msgs;
        CObjListClip target;
        core::AddFiles(target, {large}, false, nullptr, msgs.Reporter());
        EXPECT_EQ(target.GetCount(), 0u);
        ASSERT_EQ(msgs.list.size(), 1u) << name;
        EXPECT_EQ(msgs.list[0].second, "The file is too large to be read.\n\n " + large);
    }
    CObjListClip whole;
    EXPECT_EQ(core::LoadKeptPlaylist(whole, good), "");
    EXPECT_EQ(PathsOf(whole), paths);
    std::size_t lastCount = 0;
    for (std::size_t cut = 0; cut <= image.size(); ++cut) {
        SCOPED_TRACE(cut);
        const std::string text = cut < image.size() ? image.substr(0, cut) : image + '\0';
        CObjListClip read;
        EXPECT_NE(core::LoadKeptPlaylist(read, dir.MakeFile("damaged.mpl", text)), "");
        const Paths got = PathsOf(read);
        EXPECT_TRUE(std::equal(got.begin(), got.end(), paths.begin()));
        EXPECT_GE(got.size(), lastCount) << "a longer part never gives fewer clips";
        lastCount = got.size();
    }
    EXPECT_EQ(lastCount, 3u) << "whole clips followed by other bytes are kept";
}

TEST(AddFiles, ChoosesTheReaderByExtension) {
    ScratchFolder dir;
    const std::string song = dir.MakeFile("song.mp3", "a");
    const std::string txt = dir.MakeFile("list.txt", "C:\\a.mp3\n");
    // An entry whose file is missing is kept.
    const std::string upper =
        dir.MakeFile("list.M3U", "#EXTM3U\n#EXTINF:61,T\nsong.mp3\n#EXTINF:9,Gone\ngone.mp3\n");
    const std::string noExt = dir.MakeFile("list", "#EXTM3U\n");
    const std::string pl = dir.MakeFile("list.pl", "#EXTM3U\n");
    const std::string utf8 = dir.MakeFile("list.m3u8", "#EXTM3U\nsong.ogg\n");
    const std::string ogg = dir.MakeFile("song.ogg", "OggS");
    dir.MakeFolder("folder.ogg");
    // Playlists that cannot be read: a folder, a missing file, a name with a NUL byte.
    const Paths unreadable = {dir.MakeFolder("folder.m3u"), dir / "missing.m3u",
                              std::string("list\0.m3u", 9)};
    const std::string mpl = dir / "x.MPL";
    ASSERT_TRUE(Save({"/from/mpl.mp3"}, mpl));

    CObjListClip playlist;
    Messages msgs;
    const auto result =
        core::AddFiles(playlist,
                       {song, txt, upper, noExt, pl, dir / "missing.mp3", dir / "folder.ogg", mpl,
                        utf8, "http://127.0.0.1:8000/live", "HTTPS://h/x.pls", unreadable[0],
                        unreadable[1], unreadable[2]},
                       false, nullptr, msgs.Reporter());
    // Addresses are kept as streams, even without an extension or with a playlist's.
    EXPECT_EQ(PathsOf(playlist), (Paths{song, txt, song, dir / "gone.mp3", "/from/mpl.mp3", ogg,
                                        "http://127.0.0.1:8000/live", "HTTPS://h/x.pls"}));
    EXPECT_EQ(result.added.size(), 8u);
    EXPECT_EQ(result.added[4], playlist.GetAt(4));
    const CAttribClip &a = *playlist.GetAt(2), &b = *playlist.GetAt(3);
    EXPECT_TRUE(a.GetTitle() == "T" && a.GetDuration() == 61 && a.GetInfoLoaded() == 1);
    EXPECT_TRUE(b.GetTitle() == "Gone" && b.GetDuration() == 9 && b.GetInfoLoaded() == 0);
    EXPECT_EQ(playlist.GetAt(5)->GetInfoLoaded(), 1);
    EXPECT_EQ(result.failedPaths, (Paths{noExt, pl, unreadable[0], unreadable[1], unreadable[2]}));
    EXPECT_EQ(result.skippedPaths, (Paths{dir / "missing.mp3", dir / "folder.ogg"}));
    ASSERT_EQ(msgs.list.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_EQ(msgs.list[i].second,
                  "Unrecognizable Playlist File Format. \n\n " + result.failedPaths[i]);
    // Inserted behind the given clip in order; without one, or when appending, at the end.
    core::AddFiles(playlist, {ogg, song}, true, playlist.GetAt(0), nullptr);
    core::AddFiles(playlist, {ogg}, true, nullptr, nullptr);
    core::AddFiles(playlist, {song}, false, playlist.GetAt(0), nullptr);
    const Paths all = PathsOf(playlist);
    EXPECT_EQ(Paths(all.begin(), all.begin() + 4), (Paths{song, ogg, song, txt}));
    EXPECT_EQ(Paths(all.begin() + 10, all.end()), (Paths{ogg, song}));
}
