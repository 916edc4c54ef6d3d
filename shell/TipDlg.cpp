#include "shell/TipDlg.h"

#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "platform/Profile.h"
#include "res/StringTable.h"
#include "shell/Language.h"
#include "shell/ProfileSettings.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString Text(std::uint32_t id) {
    return QString::fromStdString(res::LoadString(id));
}

// Translated, with a line end kept out of the lookup.
std::string TranslateTip(const std::string& tip) {
    if (!tip.ends_with('\n'))
        return shell::TranslateText(tip);
    return shell::TranslateText(tip.substr(0, tip.size() - 1)) + "\n";
}

} // namespace

CTipDlg::CTipDlg(QWidget* pParent, const std::string& tipsPath) : CISDialog(pParent) {
    using namespace shell;
    m_bStartup = ShowTipsAtStartUp();
    const int position = platform::GetProfileInt(kSectionTip, kEntryTipFilePos, 0);
    BuildControls();
    if (m_file.Open(tipsPath.empty() ? TipsFilePath() : tipsPath)) {
        // A changed file starts again from its first tip.
        const std::string stamp = m_file.TimeStamp();
        int start = position;
        if (stamp != platform::GetProfileString(kSectionTip, kEntryTipTimeStamp)) {
            start = 0;
            platform::WriteProfileString(kSectionTip, kEntryTipTimeStamp, stamp);
        }
        if (m_file.Seek(start))
            ReadNextTip();
        else
            ShowReadError();
    } else {
        m_strTip = LoadTranslatedString(139);
    }
    m_pTip->setText(QString::fromStdString(m_strTip));
}

CTipDlg::~CTipDlg() {
    if (m_file.IsOpen()) {
        platform::WriteProfileInt(shell::kSectionTip, shell::kEntryTipFilePos,
                                  static_cast<int>(m_file.Position()));
        m_file.Close();
    }
}

void CTipDlg::BuildControls() {
    setWindowTitle(Text(4501));
    // The white panel with its heading behind the tip text.
    auto* pPanel = new QWidget(this);
    pPanel->setAutoFillBackground(true);
    QPalette palette = pPanel->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    pPanel->setPalette(palette);
    auto* pHeading = new QLabel(Text(130), pPanel);
    QFont font = pHeading->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.4);
    pHeading->setFont(font);
    m_pTip = new QLabel(pPanel);
    m_pTip->setWordWrap(true);
    m_pTip->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_pTip->setMinimumSize(320, 100);
    auto* pPanelLayout = new QVBoxLayout(pPanel);
    pPanelLayout->addWidget(pHeading);
    pPanelLayout->addWidget(m_pTip, 1);

    m_pStartUp = new QCheckBox(Text(4502), this);
    m_pStartUp->setChecked(m_bStartup);
    connect(m_pStartUp, &QCheckBox::toggled, this, [this](bool on) { m_bStartup = on; });
    m_pNext = new QPushButton(Text(4503), this);
    connect(m_pNext, &QPushButton::clicked, this, [this] { OnNextTip(); });
    auto* pClose = new QPushButton(Text(4504), this);
    pClose->setDefault(true);
    connect(pClose, &QPushButton::clicked, this, &QDialog::accept);

    auto* pButtons = new QHBoxLayout;
    pButtons->addWidget(m_pStartUp);
    pButtons->addStretch();
    pButtons->addWidget(m_pNext);
    pButtons->addWidget(pClose);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(pPanel, 1);
    pLayout->addLayout(pButtons);
}

void CTipDlg::OnInitDialog() {
    if (!m_file.IsOpen())
        m_pNext->setEnabled(false);
}

void CTipDlg::ReadNextTip() {
    const auto tip = m_file.NextTip();
    if (!tip) {
        ShowReadError(); // the tip shown stays
        return;
    }
    m_strTip = TranslateTip(*tip);
}

void CTipDlg::ShowReadError() {
    shell::TranslatedMessageBox(nullptr, 141, MB_OK | MB_ICONWARNING);
}

void CTipDlg::OnNextTip() {
    ReadNextTip();
    m_pTip->setText(QString::fromStdString(m_strTip));
}

void CTipDlg::done(int result) {
    platform::WriteProfileInt(shell::kSectionTip, shell::kEntryTipStartUp, m_bStartup ? 0 : 1);
    CISDialog::done(result);
}

namespace shell {

std::string TipsFilePath() {
    return platform::GetProgramFolder() + "Tips.txt";
}

bool ShowTipsAtStartUp() {
    return platform::GetProfileInt(kSectionTip, kEntryTipStartUp, 0) == 0;
}

void ShowTipAtStartUp(QWidget* pParent) {
    if (!ShowTipsAtStartUp())
        return;
    CTipDlg dlg(pParent);
    dlg.exec();
}

} // namespace shell
