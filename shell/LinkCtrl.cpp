#include "shell/LinkCtrl.h"

#include <QMouseEvent>
#include <QPalette>

CLinkCtrl::CLinkCtrl(const QString& text, QWidget* pParent) : QLabel(text, pParent) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    setPalette(palette);
    setCursor(Qt::PointingHandCursor);
}

bool CLinkCtrl::Open() const {
    if (m_strAddress.empty())
        return false;
    return shell::OpenAddress(m_strAddress, m_open);
}

void CLinkCtrl::mouseReleaseEvent(QMouseEvent* pEvent) {
    if (pEvent->button() == Qt::LeftButton && rect().contains(pEvent->position().toPoint()))
        Open();
    QLabel::mouseReleaseEvent(pEvent);
}
