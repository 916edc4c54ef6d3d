#include "shell/PrefsSubDlg.h"

#include "playback/AudioEffects.h"
#include "res/StringTable.h"
#include "shell/SystemTray.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QVBoxLayout>
#include <climits>

namespace {

enum : std::uint32_t {
    IDS_SKINNED_CURSORS = 4445,
    IDS_CLIP_NUMBERS = 4446,
    IDS_PLAYLIST_FONT = 4447,
    IDS_SHADE_FONT = 4448,
    IDS_SNAP_DESKTOP = 4449,
    IDS_SNAP_WINDOWS = 4450,
    IDS_TOOLTIPS = 4451,
    IDS_TOOLTIPS_NONE = 4452,
    IDS_TOOLTIPS_MAIN = 4453,
    IDS_TOOLTIPS_ALL = 4454,
    IDS_SHOW_ICON = 4455,
    IDS_ICON_TASKBAR = 4456,
    IDS_ICON_TRAY = 4457,
    IDS_ICON_BOTH = 4458,
    IDS_RELOAD_PLAYLIST = 4459,
    IDS_RESET_PLAY_NUMBER = 4460,
    IDS_AUTO_PLAY = 4461,
    IDS_HIDE_PLAYWND = 4462,
    IDS_REPLAYGAIN = 5403,
    IDS_REPLAYGAIN_OFF = 5404,
    IDS_REPLAYGAIN_TRACK = 5405,
    IDS_REPLAYGAIN_ALBUM = 5406,
    IDS_REPLAYGAIN_PREAMP = 5407,
    IDS_PREVENT_CLIPPING = 5408,
};

} // namespace

CPrefsSubDlg::CPrefsSubDlg(int nIDD, QWidget* pParent) : CISDialog(pParent), m_nIDD(nIDD) {
    // A page lives inside the Preferences dialog's frame, which translates it.
    setWindowFlags(Qt::Widget);
    SetNoTranslateOnInit(true);
    m_pGrid = new QGridLayout(this);
    m_pGrid->setContentsMargins(0, 0, 0, 0);
}

QWidget* CPrefsSubDlg::GetDlgItem(int id) const {
    return shell::FindDlgItem(this, id);
}

void CPrefsSubDlg::Store(CCorePrefs::Pref pref, std::int32_t value) {
    const std::int32_t old = CCorePrefs::Get(pref);
    CCorePrefs::Set(pref, value);
    if (CCorePrefs::Get(pref) != old && m_onChange)
        m_onChange(pref, old);
}

QCheckBox* CPrefsSubDlg::MakeCheck(int id, std::uint32_t textId, CCorePrefs::Pref pref) {
    auto* pBox = shell::WithId(new QCheckBox(shell::ResourceText(textId), this), id);
    pBox->setChecked(CCorePrefs::Get(pref) != 0);
    connect(pBox, &QCheckBox::toggled, this, [this, pref](bool on) { Store(pref, on ? 1 : 0); });
    return pBox;
}

void CPrefsSubDlg::AddCheck(int id, std::uint32_t textId, CCorePrefs::Pref pref) {
    m_pGrid->addWidget(MakeCheck(id, textId, pref), m_pGrid->rowCount(), 0, 1, 3);
}

void CPrefsSubDlg::AddNumber(int editId, int spinId, CCorePrefs::Pref pref, QWidget* pLabel) {
    auto* pEdit = shell::WithId(new QLineEdit(this), editId);
    pEdit->setMaxLength(2);
    pEdit->setValidator(new QRegularExpressionValidator(QRegularExpression("-?[0-9]*"), pEdit));
    pEdit->setFixedWidth(pEdit->fontMetrics().horizontalAdvance("000") + 12);
    auto* pSpin = shell::WithId(new QScrollBar(Qt::Vertical, this), spinId);
    pSpin->setRange(CCorePrefs::Clamp(pref, INT_MIN), CCorePrefs::Clamp(pref, INT_MAX));
    pSpin->setInvertedAppearance(true);
    pSpin->setFixedHeight(pEdit->sizeHint().height());
    const NumberField field{pEdit, pSpin, pref};
    m_numbers.push_back(field);
    ShowStored(field);
    connect(pEdit, &QLineEdit::textEdited, this, [this, field] { OnNumberEdited(field); });
    connect(pEdit, &QLineEdit::editingFinished, this, [this, field] { ShowStored(field); });
    connect(pSpin, &QScrollBar::valueChanged, this, [this, field](int value) {
        Store(field.pref, value);
        if (field.pEdit->text() != QString::number(CCorePrefs::Get(field.pref)))
            ShowStored(field);
    });
    const int row = m_pGrid->rowCount();
    m_pGrid->addWidget(pLabel, row, 0);
    m_pGrid->addWidget(pEdit, row, 1);
    m_pGrid->addWidget(pSpin, row, 2, Qt::AlignLeft);
}

// While the user types, the stored value follows the text brought into range; the text itself
// is corrected when editing ends, so that "1" on the way to "12" can be typed.
void CPrefsSubDlg::OnNumberEdited(const NumberField& field) {
    bool ok = false;
    const int value = field.pEdit->text().toInt(&ok);
    if (!ok)
        return;
    Store(field.pref, value);
    const QSignalBlocker block(field.pSpin);
    field.pSpin->setValue(CCorePrefs::Get(field.pref));
}

void CPrefsSubDlg::ShowStored(const NumberField& field) {
    const std::int32_t value = CCorePrefs::Get(field.pref);
    field.pEdit->setText(QString::number(value));
    const QSignalBlocker block(field.pSpin);
    field.pSpin->setValue(value);
}

bool CPrefsSubDlg::ReadBack() {
    for (const NumberField& field : m_numbers) {
        bool ok = false;
        const int value = field.pEdit->text().toInt(&ok);
        if (!ok) {
            field.pEdit->setFocus();
            return false;
        }
        Store(field.pref, value);
        ShowStored(field);
    }
    return true;
}

QButtonGroup* CPrefsSubDlg::AddRadios(int firstId, std::uint32_t titleId,
                                      const std::vector<std::uint32_t>& textIds,
                                      CCorePrefs::Pref pref) {
    auto* pBox = new QGroupBox(shell::ResourceText(titleId), this);
    auto* pLayout = new QVBoxLayout(pBox);
    auto* pGroup = new QButtonGroup(pBox);
    for (std::size_t i = 0; i < textIds.size(); ++i) {
        auto* pRadio = shell::WithId(new QRadioButton(shell::ResourceText(textIds[i]), pBox),
                                     firstId + int(i));
        pGroup->addButton(pRadio, int(i));
        pLayout->addWidget(pRadio);
    }
    if (QAbstractButton* pChecked = pGroup->button(CCorePrefs::Get(pref)))
        pChecked->setChecked(true);
    connect(pGroup, &QButtonGroup::idClicked, this,
            [this, pref](int value) { Store(pref, value); });
    m_pGrid->addWidget(pBox, m_pGrid->rowCount(), 0, 1, 3);
    return pGroup;
}

CPrefsGeneralDlg::CPrefsGeneralDlg(QWidget* pParent) : CPrefsSubDlg(IDD, pParent) {
    AddCheck(IDC_RELOAD_PLAYLIST, IDS_RELOAD_PLAYLIST, CCorePrefs::ReloadLastPlaylist);
    AddCheck(IDC_RESET_PLAY_NUMBER, IDS_RESET_PLAY_NUMBER, CCorePrefs::ResetPlayNumber);
    AddCheck(IDC_AUTO_PLAY, IDS_AUTO_PLAY, CCorePrefs::AutoPlay);
    AddCheck(IDC_HIDE_PLAYWND, IDS_HIDE_PLAYWND, CCorePrefs::HidePlayWndForAudio);
    AddReplayGain();
    Grid()->setRowStretch(Grid()->rowCount(), 1);
}

void CPrefsGeneralDlg::AddReplayGain() {
    auto* pBox = new QGroupBox(shell::ResourceText(IDS_REPLAYGAIN), this);
    auto* pLayout = new QGridLayout(pBox);
    auto* pGroup = new QButtonGroup(pBox);
    const AudioEffectSettings& now = audioeffects::Get();
    int column = 0;
    for (std::uint32_t textId : {IDS_REPLAYGAIN_OFF, IDS_REPLAYGAIN_TRACK, IDS_REPLAYGAIN_ALBUM}) {
        auto* pRadio = shell::WithId(new QRadioButton(shell::ResourceText(textId), pBox),
                                     IDC_REPLAYGAIN_OFF + column);
        pRadio->setChecked(now.nReplayGain == column);
        pGroup->addButton(pRadio, column);
        pLayout->addWidget(pRadio, 0, column++);
    }
    auto* pPreamp = shell::WithId(new QDoubleSpinBox(pBox), IDC_REPLAYGAIN_PREAMP);
    pPreamp->setRange(AudioEffectSettings::kMinPreampDb, AudioEffectSettings::kMaxPreampDb);
    pPreamp->setDecimals(1);
    pPreamp->setSingleStep(0.5);
    pPreamp->setValue(now.dReplayGainPreampDb);
    pLayout->addWidget(new QLabel(shell::ResourceText(IDS_REPLAYGAIN_PREAMP), pBox), 1, 0);
    pLayout->addWidget(pPreamp, 1, 1);
    auto* pClip = shell::WithId(new QCheckBox(shell::ResourceText(IDS_PREVENT_CLIPPING), pBox),
                                IDC_PREVENT_CLIPPING);
    pClip->setChecked(now.bPreventClipping);
    pLayout->addWidget(pClip, 2, 0, 1, 3);
    // Each change is kept at once; the next clip opened plays with it.
    const auto store = [pGroup, pPreamp, pClip] {
        AudioEffectSettings s = audioeffects::Get();
        s.nReplayGain = std::max(pGroup->checkedId(), 0);
        s.dReplayGainPreampDb = pPreamp->value();
        s.bPreventClipping = pClip->isChecked();
        audioeffects::Set(s);
    };
    connect(pGroup, &QButtonGroup::idClicked, this, store);
    connect(pPreamp, &QDoubleSpinBox::valueChanged, this, store);
    connect(pClip, &QCheckBox::toggled, this, store);
    Grid()->addWidget(pBox, Grid()->rowCount(), 0, 1, 3);
}

CPrefsDisplayDlg::CPrefsDisplayDlg(QWidget* pParent) : CPrefsSubDlg(IDD, pParent) {
    AddCheck(IDC_SKINNED_CURSORS, IDS_SKINNED_CURSORS, CCorePrefs::SkinnedCursors);
    AddCheck(IDC_CLIP_NUMBERS, IDS_CLIP_NUMBERS, CCorePrefs::ClipNumbers);
    AddNumber(IDC_PLAYLIST_FONT, IDC_PLAYLIST_FONT_SPIN, CCorePrefs::PlaylistFontSize,
              new QLabel(shell::ResourceText(IDS_PLAYLIST_FONT), this));
    AddNumber(IDC_SHADE_FONT, IDC_SHADE_FONT_SPIN, CCorePrefs::ShadeFontSize,
              new QLabel(shell::ResourceText(IDS_SHADE_FONT), this));
    AddNumber(IDC_DESKTOP_DISTANCE, IDC_DESKTOP_DISTANCE_SPIN, CCorePrefs::DesktopSnapDistance,
              MakeCheck(IDC_SNAP_DESKTOP, IDS_SNAP_DESKTOP, CCorePrefs::SnapToDesktop));
    AddNumber(IDC_WINDOW_DISTANCE, IDC_WINDOW_DISTANCE_SPIN, CCorePrefs::WindowSnapDistance,
              MakeCheck(IDC_SNAP_WINDOWS, IDS_SNAP_WINDOWS, CCorePrefs::SnapToWindows));
    AddRadios(IDC_TOOLTIPS_NONE, IDS_TOOLTIPS,
              {IDS_TOOLTIPS_NONE, IDS_TOOLTIPS_MAIN, IDS_TOOLTIPS_ALL}, CCorePrefs::Tooltips);
    QButtonGroup* pIcons =
        AddRadios(IDC_ICON_TASKBAR, IDS_SHOW_ICON, {IDS_ICON_TASKBAR, IDS_ICON_TRAY, IDS_ICON_BOTH},
                  CCorePrefs::IconPlacement);
    // Without a tray the icon can only be in the taskbar, whatever is stored.
    if (!shell::IsSystemTrayAvailable()) {
        pIcons->button(1)->setEnabled(false);
        pIcons->button(2)->setEnabled(false);
    }
    Grid()->setRowStretch(Grid()->rowCount(), 1);
}
