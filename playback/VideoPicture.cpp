#include "playback/VideoPicture.h"

#include "platform/Wnd.h"

#include <algorithm>
#include <gst/gst.h>
#include <gst/video/video.h>
#include <thread>

struct CVideoPicture::Held {
    GstSample* pSample = nullptr;
    GstVideoFrame frame{};
    bool bMapped = false;
    ~Held() {
        if (bMapped)
            gst_video_frame_unmap(&frame);
        gst_sample_unref(pSample);
    }
};

void CVideoPicture::FreeConverter::operator()(GstVideoConverter* pConvert) const {
    gst_video_converter_free(pConvert);
}

CVideoPicture::CVideoPicture() = default;
CVideoPicture::~CVideoPicture() = default;

bool CVideoPicture::Take(GstSample* pSample) {
    auto pHeld = std::make_unique<Held>();
    pHeld->pSample = pSample;
    GstVideoInfo info;
    GstBuffer* pBuffer = gst_sample_get_buffer(pSample);
    GstCaps* pCaps = gst_sample_get_caps(pSample);
    // Mapping checks the buffer against the caps (planes, strides, size).
    if (!pBuffer || !pCaps || !gst_video_info_from_caps(&info, pCaps) ||
        !gst_video_frame_map(&pHeld->frame, &info, pBuffer, GST_MAP_READ))
        return false;
    pHeld->bMapped = true;
    m_pHeld = std::move(pHeld);
    return true;
}

void CVideoPicture::Release() {
    m_pHeld.reset();
}

CSize CVideoPicture::GetSize() const {
    if (!m_pHeld)
        return {};
    return {GST_VIDEO_FRAME_WIDTH(&m_pHeld->frame), GST_VIDEO_FRAME_HEIGHT(&m_pHeld->frame)};
}

namespace {

// The area as a destination frame for pictures like `in`: B, G, R, A bytes, rows nStride
// apart, over the area's own memory.
bool MapArea(const CPixelArea& area, const GstVideoInfo& in, GstVideoInfo& info,
             GstVideoFrame& frame) {
    gst_video_info_set_format(&info, GST_VIDEO_FORMAT_BGRA, guint(area.nWidth),
                              guint(area.nHeight));
    // A converter changes neither timing nor field order.
    info.fps_n = in.fps_n;
    info.fps_d = in.fps_d;
    info.interlace_mode = in.interlace_mode;
    info.stride[0] = area.nStride;
    info.size = gsize(area.nStride) * gsize(area.nHeight - 1) + gsize(area.nWidth) * 4;
    GstBuffer* pBuffer = gst_buffer_new_wrapped_full(GstMemoryFlags(0), area.pBits, info.size, 0,
                                                     info.size, nullptr, nullptr);
    const bool mapped = gst_video_frame_map(&frame, &info, pBuffer, GST_MAP_WRITE);
    gst_buffer_unref(pBuffer); // a mapped frame holds its own reference
    return mapped;
}

// The conversion runs on the interface thread. Pictures larger than full HD (a 4K picture
// would hold that thread for over 10 ms) are converted on several.
constexpr guint kPixelsOnOneThread = 1920 * 1088;
constexpr guint kMostThreads = 4;

GstVideoConverter* MakeConverter(const GstVideoInfo& in, const GstVideoInfo& out) {
    const guint pixels = guint(GST_VIDEO_INFO_WIDTH(&out)) * guint(GST_VIDEO_INFO_HEIGHT(&out));
    const guint threads = pixels <= kPixelsOnOneThread
                              ? 1
                              : std::clamp(std::thread::hardware_concurrency(), 1u, kMostThreads);
    // Bilinear scaling as the interface scales its other images; every pixel opaque; 8 bits a
    // channel on both sides need no dithering.
    GstStructure* pConfig = gst_structure_new(
        "config", GST_VIDEO_CONVERTER_OPT_THREADS, G_TYPE_UINT, threads,
        GST_VIDEO_CONVERTER_OPT_RESAMPLER_METHOD, GST_TYPE_VIDEO_RESAMPLER_METHOD,
        GST_VIDEO_RESAMPLER_METHOD_LINEAR, GST_VIDEO_CONVERTER_OPT_DITHER_METHOD,
        GST_TYPE_VIDEO_DITHER_METHOD, GST_VIDEO_DITHER_NONE, GST_VIDEO_CONVERTER_OPT_ALPHA_MODE,
        GST_TYPE_VIDEO_ALPHA_MODE, GST_VIDEO_ALPHA_MODE_SET, GST_VIDEO_CONVERTER_OPT_ALPHA_VALUE,
        G_TYPE_DOUBLE, 1.0, nullptr);
    return gst_video_converter_new(const_cast<GstVideoInfo*>(&in), const_cast<GstVideoInfo*>(&out),
                                   pConfig);
}

// A converter is built for one picture format and one area size; the area's row length is read
// from each destination frame.
bool ConverterFits(GstVideoConverter* pConvert, const GstVideoInfo& in, const GstVideoInfo& out) {
    if (!pConvert)
        return false;
    const GstVideoInfo* pOut = gst_video_converter_get_out_info(pConvert);
    return gst_video_info_is_equal(gst_video_converter_get_in_info(pConvert), &in) &&
           GST_VIDEO_INFO_WIDTH(pOut) == GST_VIDEO_INFO_WIDTH(&out) &&
           GST_VIDEO_INFO_HEIGHT(pOut) == GST_VIDEO_INFO_HEIGHT(&out);
}

} // namespace

bool CVideoPicture::PaintInto(const CPixelArea& area) {
    if (!m_pHeld || !area.pBits || area.nWidth <= 0 || area.nHeight <= 0 ||
        area.nStride < area.nWidth * 4)
        return false;
    const GstVideoInfo& in = m_pHeld->frame.info;
    GstVideoInfo outInfo;
    GstVideoFrame out;
    if (!MapArea(area, in, outInfo, out))
        return false;
    if (!ConverterFits(m_pConvert.get(), in, outInfo))
        m_pConvert.reset(MakeConverter(in, outInfo));
    if (m_pConvert)
        gst_video_converter_frame(m_pConvert.get(), &m_pHeld->frame, &out);
    gst_video_frame_unmap(&out);
    return m_pConvert != nullptr;
}
