#include "core/Archive.h"
#include "core/AttribClip.h"
#include "core/AttribFile.h"
#include "core/ObjListClip.h"
#include "tests/core/CoreTestSupport.h"

#include <gtest/gtest.h>

using coretest::Bytes;

namespace {

std::string Store(const CObjListClip& list) {
    CArchive ar;
    const_cast<CObjListClip&>(list).Serialize(ar);
    return ar.TakeBuffer();
}

// Loads a list; returns the error.
ArchiveError Load(const std::string& data, CObjListClip& list) {
    CArchive ar(data);
    list.Serialize(ar);
    return ar.GetError();
}

std::string StoredString(const std::string& s) {
    CArchive ar;
    ar.WriteString(s);
    return ar.TakeBuffer();
}

std::string ClipBytes(const std::string& path, const std::string& type, const std::string& title) {
    // version, path, type, infoLoaded 1, playable 1, reserved 0, size 5, modified 7, duration 9
    return Bytes({1, 0, 0, 0}) + char(path.size()) + path + char(type.size()) + type +
           Bytes({1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0, 7, 0, 0, 0, 9, 0, 0, 0}) +
           char(title.size()) + title;
}

std::unique_ptr<CAttribClip> MakeClip(const std::string& path) {
    auto c = std::make_unique<CAttribClip>();
    c->SetPath(path);
    c->SetTypeName("T");
    c->SetTitle("Ti");
    c->SetInfoLoaded(1);
    c->SetFileSize(5);
    c->SetModified(7);
    c->SetDuration(9);
    return c;
}

const std::string kClassRecord = Bytes({0xFF, 0xFF, 1, 0, 11, 0}) + "CAttribClip";

} // namespace

TEST(ArchiveWriter, EmptyAndOneClipPlaylistImages) {
    CObjListClip list;
    EXPECT_EQ(Store(list), Bytes({1, 0, 0, 0, 0, 0, 0}));

    list.Add(MakeClip("a.mp3"));
    EXPECT_EQ(Store(list), Bytes({1, 0, 0, 0, 1, 0}) + kClassRecord +
                               ClipBytes("a.mp3", "T", "Ti") + Bytes({0}));

    list.Add(MakeClip("b"));
    EXPECT_EQ(Store(list), Bytes({1, 0, 0, 0, 2, 0}) + kClassRecord +
                               ClipBytes("a.mp3", "T", "Ti") + Bytes({0x01, 0x80}) +
                               ClipBytes("b", "T", "Ti") + Bytes({0}));
}

TEST(ArchiveWriter, StringLengthPrefixes) {
    EXPECT_EQ(StoredString(""), Bytes({0}));
    EXPECT_EQ(StoredString(std::string(254, 'x')), Bytes({0xFE}) + std::string(254, 'x'));
    EXPECT_EQ(StoredString(std::string(255, 'x')),
              Bytes({0xFF, 0xFF, 0x00}) + std::string(255, 'x'));
    EXPECT_EQ(StoredString(std::string(65533, 'x')),
              Bytes({0xFF, 0xFD, 0xFF}) + std::string(65533, 'x'));
    EXPECT_EQ(StoredString(std::string(65534, 'x')),
              Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0, 0}) + std::string(65534, 'x'));

    for (std::size_t len : {0u, 254u, 255u, 65533u, 65534u, 70000u}) {
        const std::string s(len, 'q');
        std::string data = StoredString(s);
        CArchive ar(data);
        EXPECT_TRUE(ar.ReadString() == s) << len;
        EXPECT_TRUE(ar.AtEnd() && !ar.Failed()) << len;
    }
}

TEST(ArchiveWriter, CountsAndTagsOfLargeLists) {
    for (std::uint32_t n : {0xFFFEu, 0xFFFFu}) {
        CObjListClip list;
        for (std::uint32_t i = 0; i < n; ++i)
            list.Add(std::make_unique<CAttribClip>());
        const std::string data = Store(list);
        const std::string count =
            n < 0xFFFF ? Bytes({0xFE, 0xFF}) : Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0, 0});
        EXPECT_EQ(data.substr(4, count.size()), count);
        const std::size_t clipSize = 4 + 1 + 1 + 24 + 1;
        EXPECT_EQ(data.size(),
                  4 + count.size() + kClassRecord.size() + clipSize + (n - 1) * (2 + clipSize) + 1);
        // Every later clip carries the class reference 0x8001.
        EXPECT_EQ(data.substr(4 + count.size() + kClassRecord.size() + clipSize, 2),
                  Bytes({0x01, 0x80}));
        CObjListClip back;
        EXPECT_EQ(Load(data, back), ArchiveError::None);
        EXPECT_EQ(back.GetCount(), n);
    }
}

TEST(ArchiveWriter, ReferencesToStoredObjectsUseSmallAndBigIndexes) {
    std::vector<std::unique_ptr<CAttribClip>> clips;
    CArchive ar;
    for (int i = 0; i < 0x7FFF; ++i) {
        clips.push_back(std::make_unique<CAttribClip>());
        ar.WriteObject(clips.back().get());
    }
    const std::size_t mark = ar.GetBuffer().size();
    ar.WriteObject(clips.front().get()); // index 2 (the class took 1)
    ar.WriteObject(clips.back().get());  // index 0x8000
    ar.WriteObject(nullptr);
    EXPECT_EQ(ar.GetBuffer().substr(mark), Bytes({2, 0, 0xFF, 0x7F, 0, 0x80, 0, 0, 0, 0}));

    const std::string data = ar.TakeBuffer();
    CArchive in(data);
    std::vector<std::unique_ptr<CObjBase>> owned;
    bool created = false;
    for (int i = 0; i < 0x7FFF; ++i) {
        owned.emplace_back(in.ReadObject(&CAttribClip::classCAttribClip, created));
        ASSERT_TRUE(created);
    }
    EXPECT_EQ(in.ReadObject(&CAttribClip::classCAttribClip, created), owned.front().get());
    EXPECT_FALSE(created);
    EXPECT_EQ(in.ReadObject(&CAttribClip::classCAttribClip, created), owned.back().get());
    EXPECT_EQ(in.ReadObject(&CAttribClip::classCAttribClip, created), nullptr);
    EXPECT_FALSE(in.Failed());
    EXPECT_TRUE(in.AtEnd());
}

TEST(ArchiveReader, ClipRoundTripKeepsEveryField) {
    CObjListClip list;
    auto clip = std::make_unique<CAttribClip>();
    clip->SetPath(std::string("/m/a\0b.mp3", 10));
    clip->SetTypeName("MP3 audio");
    clip->SetTitle(std::string(300, 't'));
    clip->SetInfoLoaded(1);
    clip->SetPlayable(0);
    clip->SetReserved(-5);
    clip->SetFileSize(-1);
    clip->SetModified(1700000000);
    clip->SetDuration(0);
    list.Add(std::move(clip));

    // The writer's image is checked byte for byte above, so reading it back and storing it
    // again gives the same image only when every field was read into its place.
    CObjListClip back;
    const std::string image = Store(list);
    ASSERT_EQ(Load(image, back), ArchiveError::None);
    ASSERT_EQ(back.GetCount(), 1u);
    EXPECT_EQ(Store(back), image);
    EXPECT_EQ(back.GetAt(0)->GetPath(), std::string("/m/a\0b.mp3", 10));
    EXPECT_EQ(back.GetAt(0)->GetReserved(), -5);
}

TEST(ArchiveReader, ProfileRecordsAreReadAndWrittenBackByteForByte) {
    // A clip record of class CAttribFile: the clip data, then the profile data with its own
    // version word, and distinct values in every profile field.
    std::string profile = Bytes({1, 0, 0, 0});
    for (int i = 0; i < 6; ++i)
        profile += char(2) + std::string("s") + char('0' + i);
    for (int i = 0; i < 42; ++i)
        profile += Bytes({i + 10, 0, 0, i});
    profile += Bytes({3}) + "end";
    const std::string file = Bytes({1, 0, 0, 0, 2, 0, 0xFF, 0xFF, 1, 0, 11, 0}) + "CAttribFile" +
                             ClipBytes("a.mp3", "T", "Ti") + profile + Bytes({0x01, 0x80}) +
                             ClipBytes("b.mp3", "", "") + profile + Bytes({0});

    CObjListClip list;
    ASSERT_EQ(Load(file, list), ArchiveError::None);
    ASSERT_EQ(list.GetCount(), 2u);
    const auto* f = dynamic_cast<const CAttribFile*>(list.GetAt(1));
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->GetPath(), "b.mp3");
    EXPECT_EQ(f->GetProfile().GetString(6), "end");
    EXPECT_EQ(f->GetProfile().GetInteger(41), 51 | (41 << 24));
    EXPECT_EQ(Store(list), file);
}

TEST(ArchiveReader, StoredSchemaIsNotChecked) {
    std::string file = Bytes({1, 0, 0, 0, 1, 0, 0xFF, 0xFF, 2, 0, 11, 0}) + "CAttribClip" +
                       ClipBytes("a", "b", "c") + Bytes({0});
    CObjListClip list;
    ASSERT_EQ(Load(file, list), ArchiveError::None);
    EXPECT_EQ(list.GetAt(0)->GetTitle(), "c");
}

TEST(ArchiveReader, WideStringsBecomeUtf8) {
    // "Aé" then U+1F600 as a surrogate pair, then an unpaired high surrogate.
    std::string data =
        Bytes({0xFF, 0xFE, 0xFF, 5, 'A', 0, 0xE9, 0, 0x3D, 0xD8, 0x00, 0xDE, 0x00, 0xD8});
    CArchive ar(data);
    EXPECT_EQ(ar.ReadString(), "A\xC3\xA9\xF0\x9F\x98\x80\xEF\xBF\xBD");
    EXPECT_FALSE(ar.Failed());

    // The second length prefix in its long form, and a unit count beyond the data.
    std::string longForm = Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0x01, 0x00}) + Bytes({'x', 0});
    CArchive ar2(longForm);
    EXPECT_EQ(ar2.ReadString(), "x");
    std::string cut = Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'x', 0});
    CArchive ar3(cut);
    EXPECT_EQ(ar3.ReadString(), "");
    EXPECT_EQ(ar3.GetError(), ArchiveError::EndOfFile);
}

TEST(ArchiveReader, DamagedListsFailWithoutKeepingClips) {
    const std::string head = Bytes({1, 0, 0, 0});
    const std::string good = ClipBytes("a", "b", "c");
    struct Case {
        const char* what;
        std::string data;
        ArchiveError error;
    };
    const Case cases[] = {
        {"count of 4 billion",
         head + Bytes({0xFF, 0xFF, 0, 0x28, 0x6B, 0xEE}) + kClassRecord + good,
         ArchiveError::EndOfFile},
        {"string longer than the file",
         head + Bytes({1, 0}) + kClassRecord +
             Bytes({1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}),
         ArchiveError::EndOfFile},
        {"ends inside a clip", head + Bytes({1, 0}) + kClassRecord + good.substr(0, 20),
         ArchiveError::EndOfFile},
        {"ends before the name", head + Bytes({1, 0}) + kClassRecord + good,
         ArchiveError::EndOfFile},
        {"object index out of range", head + Bytes({1, 0, 0x05, 0x00}), ArchiveError::BadIndex},
        {"big object index out of range", head + Bytes({1, 0, 0xFF, 0x7F, 9, 0, 0, 0}),
         ArchiveError::BadIndex},
        {"class index out of range", head + Bytes({1, 0, 0x07, 0x80}) + good,
         ArchiveError::BadIndex},
        {"class index naming an object",
         head + Bytes({2, 0}) + kClassRecord + good + Bytes({0x02, 0x80}) + good,
         ArchiveError::BadIndex},
        {"a clip listed twice", head + Bytes({2, 0}) + kClassRecord + good + Bytes({0x02, 0x00}),
         ArchiveError::BadIndex},
        {"a null entry", head + Bytes({1, 0, 0, 0, 0}), ArchiveError::BadIndex},
        {"unknown class", head + Bytes({1, 0, 0xFF, 0xFF, 1, 0, 5, 0}) + "CFoo1" + good,
         ArchiveError::BadClass},
        {"class name of other case", head + Bytes({1, 0, 0xFF, 0xFF, 1, 0, 11, 0}) + "cattribclip",
         ArchiveError::BadClass},
        {"not a clip", head + Bytes({1, 0, 0xFF, 0xFF, 1, 0, 14, 0}) + "CAttribProfile",
         ArchiveError::BadClass},
        {"a list inside a list", head + Bytes({1, 0, 0xFF, 0xFF, 1, 0, 12, 0}) + "CObjListClip",
         ArchiveError::BadClass},
    };
    for (const Case& c : cases) {
        CObjListClip list;
        list.Add(std::make_unique<CAttribClip>());
        EXPECT_EQ(Load(c.data, list), c.error) << c.what;
        EXPECT_EQ(list.GetCount(), 1u) << c.what; // only the clip that was there before
    }
}

TEST(ArchiveReader, ClassNamesOfSixtyThreeBytesAndMore) {
    for (int len : {63, 64, 65}) {
        const std::string name(std::size_t(len), 'C');
        std::string data = Bytes({1, 0, 0, 0, 1, 0, 0xFF, 0xFF, 1, 0, len, 0}) + name +
                           ClipBytes("a", "", "") + Bytes({0});
        CObjListClip list;
        EXPECT_EQ(Load(data, list), ArchiveError::BadClass) << len;
        EXPECT_TRUE(list.IsEmpty());
        // A name length beyond the data is refused the same way once it reaches 64.
        std::string cut = Bytes({1, 0, 0, 0, 1, 0, 0xFF, 0xFF, 1, 0, len, 0}) + "C";
        EXPECT_EQ(Load(cut, list), len >= 64 ? ArchiveError::BadClass : ArchiveError::EndOfFile);
    }
}

TEST(ArchiveReader, PlayListClassIsKnownButNotAClip) {
    std::string data = Bytes({0xFF, 0xFF, 1, 0, 12, 0}) + "CObjListPlay" +
                       Bytes({1, 0, 0, 0, 1, 0}) + kClassRecord + ClipBytes("a", "", "") +
                       Bytes({0});
    CArchive ar(data);
    bool created = false;
    std::unique_ptr<CObjBase> obj(ar.ReadObject(&CObjBase::classCObjBase, created));
    ASSERT_TRUE(obj && created);
    auto* list = dynamic_cast<CObjListPlay*>(obj.get());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetCount(), 1u);
    EXPECT_TRUE(ar.AtEnd());
}
