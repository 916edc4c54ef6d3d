#include "platform/DC.h"

#include "platform/BmpReader.h"
#include "platform/FileSystem.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cstring>

namespace {

QRgb ToRgb(COLORREF c) {
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

QFont TitleFont(int pixelHeight) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    font.setPixelSize(std::max(1, pixelHeight));
    return font;
}

// Bitmap files larger than this are not skin images.
constexpr std::uint64_t kMaxBitmapFile = 64u << 20;

} // namespace

bool CDC::CreateBlank(int width, int height) {
    return CreateSolid(width, height, RGB(0, 0, 0));
}

bool CDC::CreateSolid(int width, int height, COLORREF color) {
    if (width <= 0 || height <= 0)
        return false;
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return false;
    image.fill(ToRgb(color));
    m_image = std::move(image);
    m_excluded = QRegion();
    return true;
}

bool CDC::LoadBitmapFile(const std::string& path) {
    auto data = platform::ReadWholeFile(path, kMaxBitmapFile);
    return data &&
           LoadBitmapData(reinterpret_cast<const std::uint8_t*>(data->data()), data->size());
}

bool CDC::LoadBitmapData(const std::uint8_t* data, std::size_t size) {
    QImage image = platform::DecodeBmp(data, size);
    if (image.isNull())
        return false;
    m_image = std::move(image);
    m_excluded = QRegion();
    return true;
}

void CDC::Attach(const QImage& image) {
    m_image = image.convertToFormat(QImage::Format_RGB32);
    m_excluded = QRegion();
}

void CDC::Destroy() {
    m_image = QImage();
    m_excluded = QRegion();
}

COLORREF CDC::GetPixel(int x, int y) const {
    if (!m_image.valid(x, y))
        return 0xFFFFFFFF;
    const QRgb p = m_image.pixel(x, y);
    return RGB(BYTE(qRed(p)), BYTE(qGreen(p)), BYTE(qBlue(p)));
}

void CDC::SetPixel(int x, int y, COLORREF color) {
    if (m_image.valid(x, y) && !m_excluded.contains(QPoint(x, y)))
        m_image.setPixel(x, y, ToRgb(color));
}

QRegion CDC::ClipRegion() const {
    return QRegion(m_image.rect()).subtracted(m_excluded);
}

void CDC::BitBlt(int x, int y, int w, int h, const CDC& src, int sx, int sy) {
    if (IsNull() || src.IsNull() || w <= 0 || h <= 0)
        return;
    // Clip the block to the source: a part outside it is not copied at all.
    QRect srcRect = QRect(sx, sy, w, h).intersected(src.m_image.rect());
    QRect dstRect = srcRect.translated(x - sx, y - sy);
    const QImage source = (&src == this) ? m_image.copy(srcRect) : src.m_image;
    const QPoint srcOrigin = (&src == this) ? srcRect.topLeft() : QPoint(0, 0);
    for (const QRect& part : ClipRegion().intersected(dstRect)) {
        const int fromX = part.left() - (x - sx) - srcOrigin.x();
        const int fromY = part.top() - (y - sy) - srcOrigin.y();
        const std::size_t bytes = std::size_t(part.width()) * 4;
        for (int row = 0; row < part.height(); ++row) {
            const uchar* from = source.constScanLine(fromY + row) + fromX * 4;
            uchar* to = m_image.scanLine(part.top() + row) + part.left() * 4;
            std::memcpy(to, from, bytes);
        }
    }
}

void CDC::StretchBlt(const CRect& rect, const CDC& src, bool smooth) {
    if (IsNull() || src.IsNull() || rect.IsRectEmpty())
        return;
    QPainter painter(&m_image);
    painter.setClipRegion(ClipRegion());
    painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    painter.drawImage(QRect(rect.left, rect.top, rect.Width(), rect.Height()), src.m_image);
}

void CDC::FillSolidRect(const CRect& rect, COLORREF color) {
    if (IsNull())
        return;
    const QRgb rgb = ToRgb(color);
    const QRect target(rect.left, rect.top, rect.Width(), rect.Height());
    for (const QRect& part : ClipRegion().intersected(target))
        for (int row = part.top(); row <= part.bottom(); ++row) {
            auto* line = reinterpret_cast<QRgb*>(m_image.scanLine(row));
            std::fill(line + part.left(), line + part.left() + part.width(), rgb);
        }
}

void CDC::DrawText(const std::string& text, const CRect& rect, COLORREF color, int pixelHeight,
                   UINT format) {
    if (IsNull() || rect.IsRectEmpty())
        return;
    QPainter painter(&m_image);
    painter.setClipRegion(ClipRegion());
    const QFont font = TitleFont(pixelHeight);
    painter.setFont(font);
    painter.setPen(QColor(GetRValue(color), GetGValue(color), GetBValue(color)));
    const QRect box(rect.left, rect.top, rect.Width(), rect.Height());
    // Laying out a text costs its whole length, however little of it fits: no more characters
    // than the box could show at one pixel each are laid out.
    const std::size_t fits = std::size_t(box.width() + 1) * std::size_t(box.height() + 1) + 4;
    std::size_t keep = std::min(text.size(), fits * 4);
    while (keep < text.size() && keep > 0 &&
           (static_cast<unsigned char>(text[keep]) & 0xC0) == 0x80)
        --keep; // not inside a character
    QString shown = QString::fromUtf8(text.data(), qsizetype(keep));
    if (format & DT_END_ELLIPSIS)
        shown = QFontMetrics(font).elidedText(shown, Qt::ElideRight, box.width());
    int align = (format & DT_CENTER)  ? Qt::AlignHCenter
                : (format & DT_RIGHT) ? Qt::AlignRight
                                      : Qt::AlignLeft;
    align |= (format & DT_VCENTER) ? Qt::AlignVCenter : Qt::AlignTop;
    if (!(format & DT_SINGLELINE))
        align |= Qt::TextWordWrap;
    painter.drawText(box, align, shown);
}

int CDC::GetTextWidth(const std::string& text, int pixelHeight) {
    return QFontMetrics(TitleFont(pixelHeight))
        .horizontalAdvance(QString::fromUtf8(text.data(), qsizetype(text.size())));
}

void CDC::ExcludeClipRect(const CRect& rect) {
    if (!rect.IsRectEmpty())
        m_excluded += QRect(rect.left, rect.top, rect.Width(), rect.Height());
}

void CDC::ResetClip() {
    m_excluded = QRegion();
}
