#include "playback/EmbeddedCover.h"

#include "platform/FileSystem.h"

#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

namespace playback {

namespace {

constexpr unsigned kPictureLimit = 16u << 20;

std::string Bytes(const TagLib::ByteVector& data) {
    return data.size() <= kPictureLimit ? std::string(data.data(), data.size()) : std::string();
}

std::string FromId3v2(TagLib::ID3v2::Tag* pTag) {
    if (!pTag)
        return {};
    std::string any;
    for (TagLib::ID3v2::Frame* pFrame : pTag->frameList("APIC")) {
        auto* pPicture = dynamic_cast<TagLib::ID3v2::AttachedPictureFrame*>(pFrame);
        if (!pPicture)
            continue;
        if (pPicture->type() == TagLib::ID3v2::AttachedPictureFrame::FrontCover)
            return Bytes(pPicture->picture());
        if (any.empty())
            any = Bytes(pPicture->picture());
    }
    return any;
}

std::string FromPictures(const TagLib::List<TagLib::FLAC::Picture*>& pictures) {
    std::string any;
    for (const TagLib::FLAC::Picture* pPicture : pictures) {
        if (pPicture->type() == TagLib::FLAC::Picture::FrontCover)
            return Bytes(pPicture->data());
        if (any.empty())
            any = Bytes(pPicture->data());
    }
    return any;
}

std::string FromMp4(TagLib::MP4::File* pFile) {
    TagLib::MP4::Tag* pTag = pFile->tag();
    if (!pTag || !pTag->contains("covr"))
        return {};
    const TagLib::MP4::CoverArtList covers = pTag->item("covr").toCoverArtList();
    return covers.isEmpty() ? std::string() : Bytes(covers.front().data());
}

} // namespace

std::string ReadEmbeddedCover(const std::string& path) {
    // A FIFO or a device would block the reading.
    const auto status = platform::GetFileStatus(path);
    if (!status || !status->isRegularFile)
        return {};
    TagLib::FileRef ref(path.c_str(), false);
    TagLib::File* pFile = ref.file();
    if (!pFile || !pFile->isValid())
        return {};
    if (auto* pMpeg = dynamic_cast<TagLib::MPEG::File*>(pFile))
        return FromId3v2(pMpeg->ID3v2Tag());
    if (auto* pWav = dynamic_cast<TagLib::RIFF::WAV::File*>(pFile))
        return pWav->hasID3v2Tag() ? FromId3v2(pWav->ID3v2Tag()) : std::string();
    if (auto* pFlac = dynamic_cast<TagLib::FLAC::File*>(pFile))
        return FromPictures(pFlac->pictureList());
    if (auto* pMp4 = dynamic_cast<TagLib::MP4::File*>(pFile))
        return FromMp4(pMp4);
    if (auto* pVorbis = dynamic_cast<TagLib::Ogg::Vorbis::File*>(pFile))
        return pVorbis->tag() ? FromPictures(pVorbis->tag()->pictureList()) : std::string();
    if (auto* pOpus = dynamic_cast<TagLib::Ogg::Opus::File*>(pFile))
        return pOpus->tag() ? FromPictures(pOpus->tag()->pictureList()) : std::string();
    return {};
}

} // namespace playback
