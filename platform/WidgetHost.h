// The widget behind an on-screen CWnd. It draws the window's back buffer and forwards every
// input and window event to the CWnd as a message; it holds no behaviour of its own.
#pragma once

#include "platform/WinTypes.h"

#include <QImage>
#include <QWidget>

class CWnd;
class QPainter;

class CWidgetHost : public QWidget {
public:
    CWidgetHost(CWnd* pOwner, QWidget* pParent, Qt::WindowFlags flags);
    // The owner is gone: events are no longer forwarded.
    void Detach() { m_pOwner = nullptr; }
    CWnd* Owner() const { return m_pOwner; }

    static WPARAM KeyFlags(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons);
    static WPARAM VirtualKey(int qtKey);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void changeEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    LRESULT Forward(UINT message, WPARAM wParam, LPARAM lParam);
    bool PaintOwnPixels(QPainter& painter, CSize pictureSize);
    void ForwardMouse(UINT message, QMouseEvent* e);

    CWnd* m_pOwner;
    QImage m_scaledPicture; // the owner's picture, when the window shows it at another size
};
