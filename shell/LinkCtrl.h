// A text control that holds a web address: drawn in pure blue, a hand cursor while the mouse
// is over it, and a click opens the address.
#pragma once

#include "shell/WebLinks.h"

#include <QLabel>
#include <string>

class CLinkCtrl : public QLabel {
public:
    explicit CLinkCtrl(const QString& text, QWidget* pParent = nullptr);

    void SetAddress(const std::string& address) { m_strAddress = address; }
    const std::string& GetAddress() const { return m_strAddress; }
    // Tests see the address instead of a browser.
    void SetOpener(shell::UrlOpener open) { m_open = std::move(open); }

    // Opens the address, unchanged.
    bool Open() const;

protected:
    void mouseReleaseEvent(QMouseEvent* pEvent) override;

private:
    std::string m_strAddress;
    shell::UrlOpener m_open;
};
