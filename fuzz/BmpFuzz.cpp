// The BMP decoder that reads skin bitmaps.
#include "platform/BmpReader.h"

#include <QImage>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QImage image = platform::DecodeBmp(data, size);
    // A decoded picture is never larger than the decoder's own bound.
    if (!image.isNull() && qint64(image.width()) * image.height() > (16 << 20))
        __builtin_trap();
    return 0;
}
