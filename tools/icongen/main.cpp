// The desktop icon generator: draws the program's icon at each size the desktop's icon theme
// looks for and writes OUT_DIR/<N>x<N>/apps/corvella.png, the layout of an icon theme folder.
#include "tools/skingen/Artwork.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QSaveFile>
#include <cstdio>

namespace {

constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

QImage ToImage(const skingen::Canvas& canvas) {
    QImage image(canvas.Width(), canvas.Height(), QImage::Format_ARGB32);
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            image.setPixel(x, y, canvas.At(x, y));
    return image;
}

// Written through a temporary file, so an interrupted build never leaves half an icon.
bool WritePng(const QImage& image, const QString& path) {
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && image.save(&file, "PNG") && file.commit();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: corvella-icongen OUT_DIR\n");
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    for (int size : kSizes) {
        const QString path = QString("%1/%2x%2/apps/corvella.png").arg(outDir).arg(size);
        if (!WritePng(ToImage(skingen::DrawDesktopIcon(size)), path)) {
            std::fprintf(stderr, "icongen: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
