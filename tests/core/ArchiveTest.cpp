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

ArchiveError Load(const std::string& data, CObjListClip& list) {
    CArchive ar(data);
    list.Serialize(ar);
    return ar.GetError();
}

// version, path, type, infoLoaded 1, playable 1, reserved 0, size 5, modified 7, duration 9
std::string ClipBytes(const std::string& path, const std::string& type, const std::string& title) {
    return Bytes({1, 0, 0, 0}) + char(path.size()) + path + char(type.size()) + type +
           Bytes({1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0, 7, 0, 0, 0, 9, 0, 0, 0}) +
           char(title.size()) + title;
}

const std::string kClassRecord = Bytes({0xFF, 0xFF, 1, 0, 11, 0}) + "CAttribClip";

} // namespace

TEST(ArchiveWriter, PlaylistImagesAndStringLengthPrefixes) {
    CObjListClip list;
    EXPECT_EQ(Store(list), Bytes({1, 0, 0, 0, 0, 0, 0}));
    // Each field is read from its place, so the image written back is the writer's.
    const std::string image = Bytes({1, 0, 0, 0, 2, 0}) + kClassRecord +
                              ClipBytes("a.mp3", "T", "Ti") + Bytes({0x01, 0x80}) +
                              ClipBytes("b", "T", "Ti") + Bytes({0});
    ASSERT_EQ(Load(image, list), ArchiveError::None);
    const CAttribClip& a = *list.GetAt(1);
    EXPECT_TRUE(a.GetPath() == "b" && a.GetTypeName() == "T" && a.GetTitle() == "Ti" &&
                a.GetInfoLoaded() == 1 && a.GetPlayable() == 1 && a.GetFileSize() == 5 &&
                a.GetModified() == 7 && a.GetDuration() == 9);
    EXPECT_EQ(Store(list), image);

    // Strings and counts, in their short and long forms, and back.
    const std::pair<std::size_t, std::string> strings[] = {
        {0, Bytes({0})},
        {254, Bytes({0xFE})},
        {255, Bytes({0xFF, 0xFF, 0x00})},
        {65533, Bytes({0xFF, 0xFD, 0xFF})},
        {65534, Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0, 0})},
        {70000, Bytes({0xFF, 0xFF, 0xFF, 0x70, 0x11, 1, 0})}};
    for (const auto& [len, prefix] : strings) {
        CArchive out;
        out.WriteString(std::string(len, 'q'));
        out.WriteCount(std::uint32_t(len));
        const std::string data = out.TakeBuffer();
        EXPECT_EQ(data.substr(0, prefix.size() + len), prefix + std::string(len, 'q'));
        CArchive in(data);
        EXPECT_EQ(in.ReadString(), std::string(len, 'q'));
        EXPECT_EQ(in.ReadCount(), len);
        EXPECT_TRUE(in.AtEnd() && !in.Failed()) << len;
    }
    CArchive counts;
    counts.WriteCount(0xFFFE);
    counts.WriteCount(0xFFFF);
    EXPECT_EQ(counts.GetBuffer(), Bytes({0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0}));
}

// Objects stored after the first 0x7FFE are referred to by a long index.
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
    for (int i = 0; i < 0x7FFF; ++i)
        owned.emplace_back(in.ReadObject(&CAttribClip::classCAttribClip, created));
    EXPECT_TRUE(created && !in.Failed() && owned.back());
    EXPECT_EQ(in.ReadObject(&CAttribClip::classCAttribClip, created), owned.front().get());
    EXPECT_FALSE(created);
    EXPECT_EQ(in.ReadObject(&CAttribClip::classCAttribClip, created), owned.back().get());
    EXPECT_EQ(in.ReadObject(&CAttribClip::classCAttribClip, created), nullptr);
    EXPECT_TRUE(!in.Failed() && in.AtEnd());
}

// Clip records (the writer's image is checked above) and profile records with their own
// version word and distinct values in every field: storing what was read gives the same image
// only when every field was read into its place.
TEST(ArchiveReader, ProfileRecordsAreReadAndWrittenBackByteForByteAndPlayListsAreNoClips) {
    std::string profile = Bytes({1, 0, 0, 0});
    for (int i = 0; i < 6; ++i)
        profile += char(2) + std::string("s") + char('0' + i);
    for (int i = 0; i < 42; ++i)
        profile += Bytes({i + 10, 0, 0, i});
    profile += Bytes({3}) + "end";
    const std::string file = Bytes({1, 0, 0, 0, 2, 0, 0xFF, 0xFF, 1, 0, 11, 0}) + "CAttribFile" +
                             ClipBytes("a.mp3", "T", "Ti") + profile + Bytes({0x01, 0x80}) +
                             ClipBytes("b.mp3", "", "") + profile + Bytes({0});
    CObjListClip files;
    ASSERT_EQ(Load(file, files), ArchiveError::None);
    const auto* f = dynamic_cast<const CAttribFile*>(files.GetAt(1));
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->GetPath(), "b.mp3");
    EXPECT_EQ(f->GetProfile().GetString(6), "end");
    EXPECT_EQ(f->GetProfile().GetInteger(41), 51 | (41 << 24));
    EXPECT_EQ(Store(files), file);
    const std::string data = Bytes({0xFF, 0xFF, 1, 0, 12, 0}) + "CObjListPlay" +
                             Bytes({1, 0, 0, 0, 1, 0}) + kClassRecord + ClipBytes("a", "", "") +
                             Bytes({0});
    CArchive ar(data);
    bool created = false;
    std::unique_ptr<CObjBase> obj(ar.ReadObject(&CObjBase::classCObjBase, created));
    auto* list = dynamic_cast<CObjListPlay*>(obj.get());
    ASSERT_TRUE(list && created);
    EXPECT_TRUE(list->GetCount() == 1u && ar.AtEnd());
}

// "Aé", U+1F600 as a surrogate pair, then an unpaired high surrogate; the second length prefix
// in its long form; a unit count beyond the data, which reads nothing.
TEST(ArchiveReader, WideStringsBecomeUtf8) {
    const std::pair<std::string, std::string> cases[] = {
        {Bytes({0xFF, 0xFE, 0xFF, 5, 'A', 0, 0xE9, 0, 0x3D, 0xD8, 0x00, 0xDE, 0x00, 0xD8}),
         "A\xC3\xA9\xF0\x9F\x98\x80\xEF\xBF\xBD"},
        {Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0x01, 0x00, 'x', 0}), "x"},
        {Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'x', 0}), ""}};
    for (const auto& [data, text] : cases) {
        CArchive ar(data);
        EXPECT_EQ(ar.ReadString(), text);
        EXPECT_EQ(ar.GetError(), text.empty() ? ArchiveError::EndOfFile : ArchiveError::None);
    }
}

// A damaged list fails and keeps none of its clips; a stored schema other than 1 is accepted.
TEST(ArchiveReader, DamagedListsFailWithoutKeepingClips) {
    using enum ArchiveError;
    const std::string one = Bytes({1, 0, 0, 0, 1, 0}), two = Bytes({1, 0, 0, 0, 2, 0});
    const std::string good = ClipBytes("a", "b", "c"), start = one + kClassRecord;
    const std::string newClass = one + Bytes({0xFF, 0xFF, 1, 0});
    const struct {
        const char* what;
        std::string data;
        ArchiveError error;
    } cases[] = {
        {"schema 2", one + Bytes({0xFF, 0xFF, 2, 0, 11, 0}) + "CAttribClip" + good + '\0', None},
        {"4 billion", Bytes({1, 0, 0, 0, 0xFF, 0xFF, 0, 0x28, 0x6B, 0xEE}) + kClassRecord,
         EndOfFile},
        {"long string", start + Bytes({1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}),
         EndOfFile},
        {"ends inside a clip", start + good.substr(0, 20), EndOfFile},
        {"ends before the name", start + good, EndOfFile},
        {"object index out of range", one + Bytes({0x05, 0x00}), BadIndex},
        {"big object index out of range", one + Bytes({0xFF, 0x7F, 9, 0, 0, 0}), BadIndex},
        {"class index out of range", one + Bytes({0x07, 0x80}) + good, BadIndex},
        {"class index naming an object", two + kClassRecord + good + Bytes({2, 0x80}), BadIndex},
        {"a clip listed twice", two + kClassRecord + good + Bytes({0x02, 0x00}), BadIndex},
        {"a null entry", one + Bytes({0, 0, 0}), BadIndex},
        {"unknown class", newClass + Bytes({5, 0}) + "CFoo1" + good, BadClass},
        {"class name of other case", newClass + Bytes({11, 0}) + "cattribclip", BadClass},
        {"not a clip", newClass + Bytes({14, 0}) + "CAttribProfile", BadClass},
        {"a list inside a list", newClass + Bytes({12, 0}) + "CObjListClip", BadClass},
        {"63-byte class name", newClass + Bytes({63, 0}) + std::string(63, 'C') + good, BadClass},
        {"63-byte name cut", newClass + Bytes({63, 0}) + "C", EndOfFile},
        // A name of 64 bytes or more is refused before it is read.
        {"64-byte name cut", newClass + Bytes({64, 0}) + "C", BadClass},
        {"65-byte class name", newClass + Bytes({65, 0}) + std::string(65, 'C') + good, BadClass},
    };
    for (const auto& c : cases) {
        CObjListClip list;
        list.Add(std::make_unique<CAttribClip>());
        EXPECT_EQ(Load(c.data, list), c.error) << c.what;
        EXPECT_EQ(list.GetCount(), c.error == None ? 2u : 1u) << c.what;
    }
}
