#include "platform/WidgetHost.h"

#include "platform/DC.h"
#include "platform/Keyboard.h"
#include "platform/Wnd.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QUrl>
#include <QWheelEvent>
#include <optional>

CWidgetHost::CWidgetHost(CWnd* pOwner, QWidget* pParent, Qt::WindowFlags flags)
    : QWidget(pParent, flags), m_pOwner(pOwner) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    // The window paints every pixel itself from its back buffer.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

LRESULT CWidgetHost::Forward(UINT message, WPARAM wParam, LPARAM lParam) {
    return m_pOwner ? m_pOwner->SendMessage(message, wParam, lParam) : 0;
}

WPARAM CWidgetHost::KeyFlags(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons) {
    WPARAM f = 0;
    if (buttons & Qt::LeftButton)
        f |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        f |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton)
        f |= MK_MBUTTON;
    if (mods & Qt::ShiftModifier)
        f |= MK_SHIFT;
    if (mods & Qt::ControlModifier)
        f |= MK_CONTROL;
    return f;
}

WPARAM CWidgetHost::VirtualKey(int key) {
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return WPARAM(key); // Qt and the virtual keys share ASCII codes here
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        return VK_F1 + WPARAM(key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Tab:
        return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Shift:
        return VK_SHIFT;
    case Qt::Key_Control:
        return VK_CONTROL;
    case Qt::Key_Alt:
        return VK_MENU;
    case Qt::Key_Pause:
        return VK_PAUSE;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Insert:
        return VK_INSERT;
    case Qt::Key_Delete:
        return VK_DELETE;
    case Qt::Key_Plus:
        return VK_ADD;
    case Qt::Key_Minus:
        return VK_SUBTRACT;
    case Qt::Key_MediaNext:
        return VK_MEDIA_NEXT_TRACK;
    case Qt::Key_MediaPrevious:
        return VK_MEDIA_PREV_TRACK;
    case Qt::Key_MediaStop:
        return VK_MEDIA_STOP;
    case Qt::Key_MediaPlay:
    case Qt::Key_MediaTogglePlayPause:
        return VK_MEDIA_PLAY_PAUSE;
    default:
        return 0;
    }
}

void CWidgetHost::paintEvent(QPaintEvent*) {
    Forward(WM_PAINT, 0, 0); // lets the window bring its back buffer up to date
    QPainter painter(this);
    const CSize pictureSize = m_pOwner ? m_pOwner->GetOwnPictureSize() : CSize{};
    if (pictureSize.cx > 0 && pictureSize.cy > 0 && PaintOwnPixels(painter, pictureSize))
        return;
    m_scaledPicture = QImage(); // only pictures scaled to the window use it
    const CDC* pBuffer = m_pOwner ? m_pOwner->GetBackBuffer() : nullptr;
    if (pBuffer && !pBuffer->IsNull()) {
        // Skins are pixel art: on a high-DPI screen the whole-factor scale stays sharp.
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(QPoint(0, 0), pBuffer->Image());
    } else {
        painter.fillRect(rect(), Qt::black);
    }
}

namespace {

// Where the widget's pixels lie in the image being painted, when the owner can write them
// there itself: 32-bit pixels in B, G, R, A byte order, the widget wholly inside both the
// image and the part being painted, and no rotation or shear on the way.
std::optional<CPixelArea> DirectArea(QPainter& painter, const QRect& widgetRect) {
    QPaintDevice* pDevice = painter.paintEngine()->paintDevice();
    const QTransform& toDevice = painter.deviceTransform();
    if (Q_BYTE_ORDER != Q_LITTLE_ENDIAN || !pDevice || pDevice->devType() != QInternal::Image ||
        toDevice.type() > QTransform::TxScale)
        return std::nullopt;
    auto* pImage = static_cast<QImage*>(pDevice);
    const QImage::Format format = pImage->format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied &&
        format != QImage::Format_ARGB32)
        return std::nullopt;
    const QRect area = toDevice.mapRect(QRectF(widgetRect)).toAlignedRect();
    const QRegion clip = painter.paintEngine()->systemClip();
    if (area.isEmpty() || !pImage->rect().contains(area) ||
        (!clip.isEmpty() && !QRegion(area).subtracted(clip).isEmpty()))
        return std::nullopt;
    // constBits: bits() would detach the image from the surface it shares memory with.
    auto* pBits = const_cast<std::uint8_t*>(pImage->constBits());
    const int stride = int(pImage->bytesPerLine());
    return CPixelArea{pBits + std::ptrdiff_t(area.y()) * stride + std::ptrdiff_t(area.x()) * 4,
                      stride, area.width(), area.height()};
}

} // namespace

// A window's own picture goes straight into the surface Qt shows the window from when it shows
// there at its own size. Otherwise (a window of another size, a grab into a pixmap, a window
// partly outside its parent) it goes through an image of its size, scaled as it is painted.
bool CWidgetHost::PaintOwnPixels(QPainter& painter, CSize pictureSize) {
    const std::optional<CPixelArea> area = DirectArea(painter, rect());
    if (area && area->nWidth == pictureSize.cx && area->nHeight == pictureSize.cy) {
        m_scaledPicture = QImage();
        return m_pOwner->PaintPixels(*area);
    }
    const QSize size(pictureSize.cx, pictureSize.cy);
    if (m_scaledPicture.size() != size)
        m_scaledPicture = QImage(size, QImage::Format_RGB32);
    if (m_scaledPicture.isNull() ||
        !m_pOwner->PaintPixels({m_scaledPicture.bits(), int(m_scaledPicture.bytesPerLine()),
                                size.width(), size.height()}))
        return false;
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(rect(), m_scaledPicture);
    return true;
}

namespace {
void RecordModifiers(Qt::KeyboardModifiers mods) {
    platform::SetModifierState(mods & Qt::ControlModifier, mods & Qt::ShiftModifier,
                               mods & Qt::AltModifier);
}
} // namespace

void CWidgetHost::ForwardMouse(UINT message, QMouseEvent* e) {
    RecordModifiers(e->modifiers());
    const QPoint p = e->position().toPoint();
    Forward(message, KeyFlags(e->modifiers(), e->buttons()), MAKELPARAM(p.x(), p.y()));
}

void CWidgetHost::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        ForwardMouse(WM_LBUTTONDOWN, e);
    else if (e->button() == Qt::RightButton)
        ForwardMouse(WM_RBUTTONDOWN, e);
    else if (e->button() == Qt::MiddleButton)
        ForwardMouse(WM_MBUTTONDOWN, e);
}

void CWidgetHost::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        ForwardMouse(WM_LBUTTONUP, e);
    else if (e->button() == Qt::RightButton)
        ForwardMouse(WM_RBUTTONUP, e);
    else if (e->button() == Qt::MiddleButton)
        ForwardMouse(WM_MBUTTONUP, e);
}

void CWidgetHost::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        ForwardMouse(WM_LBUTTONDBLCLK, e);
    else if (e->button() == Qt::RightButton)
        ForwardMouse(WM_RBUTTONDBLCLK, e);
}

void CWidgetHost::mouseMoveEvent(QMouseEvent* e) {
    Forward(WM_SETCURSOR, 0, 0);
    ForwardMouse(WM_MOUSEMOVE, e);
}

void CWidgetHost::wheelEvent(QWheelEvent* e) {
    const int delta = e->angleDelta().y();
    const QPoint g = e->globalPosition().toPoint();
    const WPARAM keys = KeyFlags(e->modifiers(), e->buttons());
    Forward(WM_MOUSEWHEEL, (WPARAM(WORD(std::int16_t(delta))) << 16) | keys,
            MAKELPARAM(g.x(), g.y()));
}

void CWidgetHost::keyPressEvent(QKeyEvent* e) {
    RecordModifiers(e->modifiers());
    if (WPARAM vk = VirtualKey(e->key()))
        Forward(WM_KEYDOWN, vk, e->isAutoRepeat() ? (LPARAM(1) << 30) : 0);
    const QString text = e->text();
    if (text.size() == 1 && text[0].unicode() >= 0x20 && text[0].unicode() != 0x7F)
        Forward(WM_CHAR, text[0].unicode(), 0);
}

void CWidgetHost::keyReleaseEvent(QKeyEvent* e) {
    RecordModifiers(e->modifiers());
    if (WPARAM vk = VirtualKey(e->key()))
        Forward(WM_KEYUP, vk, 0);
}

void CWidgetHost::focusInEvent(QFocusEvent*) {
    Forward(WM_SETFOCUS, 0, 0);
}
void CWidgetHost::focusOutEvent(QFocusEvent*) {
    Forward(WM_KILLFOCUS, 0, 0);
}

void CWidgetHost::resizeEvent(QResizeEvent* e) {
    Forward(WM_SIZE, 0, MAKELPARAM(e->size().width(), e->size().height()));
}

void CWidgetHost::moveEvent(QMoveEvent* e) {
    Forward(WM_MOVE, 0, MAKELPARAM(e->pos().x(), e->pos().y()));
}

void CWidgetHost::changeEvent(QEvent* e) {
    if (e->type() == QEvent::ActivationChange && isWindow())
        Forward(WM_ACTIVATE, isActiveWindow() ? WA_ACTIVE : WA_INACTIVE, 0);
    QWidget::changeEvent(e);
}

void CWidgetHost::closeEvent(QCloseEvent* e) {
    // The window decides: its WM_CLOSE handler destroys it (or not).
    e->ignore();
    Forward(WM_CLOSE, 0, 0);
}

void CWidgetHost::leaveEvent(QEvent*) {
    Forward(WM_MOUSELEAVE, 0, 0);
}

void CWidgetHost::contextMenuEvent(QContextMenuEvent* e) {
    Forward(WM_CONTEXTMENU, 0, MAKELPARAM(e->globalPos().x(), e->globalPos().y()));
}

void CWidgetHost::dragEnterEvent(QDragEnterEvent* e) {
    if (e->mimeData()->hasUrls())
        e->acceptProposedAction();
}

void CWidgetHost::dropEvent(QDropEvent* e) {
    DroppedFiles files;
    for (const QUrl& url : e->mimeData()->urls())
        if (url.isLocalFile())
            files.push_back(url.toLocalFile().toStdString());
    if (files.empty())
        return;
    e->acceptProposedAction();
    const QPoint p = e->position().toPoint();
    Forward(WM_DROPFILES, WPARAM(&files), MAKELPARAM(p.x(), p.y()));
}
