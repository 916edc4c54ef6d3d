// The decoded picture a video window shows, held where the decoder wrote it, in the decoder's
// own format, until the next one replaces it. Painting converts it into the pixels given, which
// are the screen's own where the window shows the picture at its size: then that conversion is
// the one copy a picture takes after decoding.
#pragma once

#include "platform/WinTypes.h"

#include <memory>

struct CPixelArea;
typedef struct _GstSample GstSample;
typedef struct _GstVideoConverter GstVideoConverter;

class CVideoPicture {
public:
    CVideoPicture();
    ~CVideoPicture();
    CVideoPicture(const CVideoPicture&) = delete;
    CVideoPicture& operator=(const CVideoPicture&) = delete;

    // Takes the sample over and holds its picture instead of the one held; false (the sample
    // let go, the old picture kept) when it holds no readable picture.
    bool Take(GstSample* pSample);
    void Release();
    bool IsHeld() const { return m_pHeld != nullptr; }
    CSize GetSize() const; // empty without a picture
    // Converts the picture into the area, scaled to its size; false without a picture.
    bool PaintInto(const CPixelArea& area);

private:
    struct Held;
    struct FreeConverter {
        void operator()(GstVideoConverter* pConvert) const;
    };
    std::unique_ptr<Held> m_pHeld;
    // Kept while the pictures keep their format and the area its size.
    std::unique_ptr<GstVideoConverter, FreeConverter> m_pConvert;
};
