#include "shell/EqualizerDlg.h"

#include "playback/AudioEffects.h"
#include "res/StringTable.h"
#include "shell/Language.h"
#include "shell/ListeningSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <cmath>

namespace {

enum : std::uint32_t {
    IDS_TITLE = 5409,
    IDS_ENABLE = 5410,
    IDS_PREAMP = 5411,
    IDS_PRESET = 5412,
    IDS_SAVE = 5413,
    IDS_DELETE = 5414,
    IDS_PRESET_NAME = 5415,
    IDS_CLOSE = 5416,
};

const char* const kBandLabels[] = {"29",  "59",   "119",  "237",  "474",
                                   "947", "1.9k", "3.8k", "7.5k", "15k"};

int Tenths(double db) {
    return int(std::lround(db * 10.0));
}

} // namespace

CEqualizerDlg::CEqualizerDlg(QWidget* pParent) : CISDialog(pParent) {
    setWindowTitle(shell::ResourceText(IDS_TITLE));
    auto* pGrid = new QGridLayout(this);
    m_pEnable = shell::WithId(new QCheckBox(shell::ResourceText(IDS_ENABLE), this), IDC_ENABLE);
    pGrid->addWidget(m_pEnable, 0, 0, 1, 6);
    pGrid->addWidget(new QLabel(shell::ResourceText(IDS_PRESET), this), 0, 6, 1, 1);
    m_pPresets = shell::WithId(new QComboBox(this), IDC_PRESET);
    pGrid->addWidget(m_pPresets, 0, 7, 1, 4);
    m_pPreamp = MakeSlider(IDC_PREAMP);
    pGrid->addWidget(m_pPreamp, 1, 0, Qt::AlignHCenter);
    pGrid->addWidget(new QLabel(shell::ResourceText(IDS_PREAMP), this), 2, 0, Qt::AlignHCenter);
    for (int i = 0; i < 10; ++i) {
        m_bands[std::size_t(i)] = MakeSlider(IDC_BAND0 + i);
        pGrid->addWidget(m_bands[std::size_t(i)], 1, i + 1, Qt::AlignHCenter);
        pGrid->addWidget(new QLabel(kBandLabels[i], this), 2, i + 1, Qt::AlignHCenter);
    }
    auto* pButtons = new QHBoxLayout;
    auto* pSave = shell::WithId(new QPushButton(shell::ResourceText(IDS_SAVE), this), IDC_SAVE);
    auto* pDelete =
        shell::WithId(new QPushButton(shell::ResourceText(IDS_DELETE), this), IDC_DELETE);
    auto* pClose = shell::WithId(new QPushButton(shell::ResourceText(IDS_CLOSE), this), IDC_CLOSE);
    pButtons->addWidget(pSave);
    pButtons->addWidget(pDelete);
    pButtons->addStretch(1);
    pButtons->addWidget(pClose);
    pGrid->addLayout(pButtons, 3, 0, 1, 11);

    m_userPresets = shell::LoadUserPresets();
    FillPresets();
    ShowSettings();
    connect(m_pEnable, &QCheckBox::toggled, this, [this] { OnSliderMoved(); });
    connect(m_pPresets, &QComboBox::activated, this, [this](int index) { OnPresetChosen(index); });
    connect(pSave, &QPushButton::clicked, this, [this] { AskPresetName(); });
    connect(pDelete, &QPushButton::clicked, this, [this] { DeleteSelectedPreset(); });
    connect(pClose, &QPushButton::clicked, this, &QDialog::accept);
}

QSlider* CEqualizerDlg::MakeSlider(int id) {
    auto* pSlider = shell::WithId(new QSlider(Qt::Vertical, this), id);
    const bool preamp = id == IDC_PREAMP;
    pSlider->setRange(
        Tenths(preamp ? AudioEffectSettings::kMinPreampDb : AudioEffectSettings::kMinBandDb),
        Tenths(preamp ? AudioEffectSettings::kMaxPreampDb : AudioEffectSettings::kMaxBandDb));
    pSlider->setSingleStep(5);
    pSlider->setPageStep(30);
    pSlider->setMinimumHeight(120);
    pSlider->setTickPosition(QSlider::TicksBothSides);
    pSlider->setTickInterval(60);
    connect(pSlider, &QSlider::valueChanged, this, [this] { OnSliderMoved(); });
    return pSlider;
}

void CEqualizerDlg::ShowSettings() {
    const AudioEffectSettings& s = audioeffects::Get();
    const QSignalBlocker blockEnable(m_pEnable);
    m_pEnable->setChecked(s.bEqualizer);
    const QSignalBlocker blockPreamp(m_pPreamp);
    m_pPreamp->setValue(Tenths(s.dEqPreampDb));
    for (int i = 0; i < 10; ++i) {
        const QSignalBlocker block(m_bands[std::size_t(i)]);
        m_bands[std::size_t(i)]->setValue(Tenths(s.bandsDb[std::size_t(i)]));
    }
}

void CEqualizerDlg::OnSliderMoved() {
    AudioEffectSettings s = audioeffects::Get();
    s.bEqualizer = m_pEnable->isChecked();
    s.dEqPreampDb = m_pPreamp->value() / 10.0;
    for (int i = 0; i < 10; ++i)
        s.bandsDb[std::size_t(i)] = m_bands[std::size_t(i)]->value() / 10.0;
    audioeffects::Set(s);
}

// Built-in presets first, under their names in the current language, then the user's.
void CEqualizerDlg::FillPresets(const std::string& select) {
    const QSignalBlocker block(m_pPresets);
    m_pPresets->clear();
    for (const core::EqualizerPreset& preset : core::BuiltInEqualizerPresets())
        m_pPresets->addItem(QString::fromStdString(shell::LoadTranslatedString(preset.nNameId)));
    for (const core::EqualizerPreset& preset : m_userPresets) {
        m_pPresets->addItem(QString::fromStdString(preset.strName));
        if (preset.strName == select)
            m_pPresets->setCurrentIndex(m_pPresets->count() - 1);
    }
    if (select.empty())
        m_pPresets->setCurrentIndex(-1);
}

void CEqualizerDlg::OnPresetChosen(int index) {
    const auto& builtIn = core::BuiltInEqualizerPresets();
    const std::size_t i = std::size_t(std::max(index, 0));
    const core::EqualizerPreset* pPreset = i < builtIn.size() ? &builtIn[i]
                                           : i - builtIn.size() < m_userPresets.size()
                                               ? &m_userPresets[i - builtIn.size()]
                                               : nullptr;
    if (!pPreset || index < 0)
        return;
    AudioEffectSettings s = audioeffects::Get();
    s.bEqualizer = true; // choosing a preset is asking to hear it
    s.dEqPreampDb = pPreset->dPreampDb;
    s.bandsDb = pPreset->bandsDb;
    audioeffects::Set(s);
    ShowSettings();
}

void CEqualizerDlg::AskPresetName() {
    bool ok = false;
    const QString name = QInputDialog::getText(
        this, windowTitle(), QString::fromStdString(shell::LoadTranslatedString(IDS_PRESET_NAME)),
        QLineEdit::Normal, {}, &ok);
    if (ok && !name.trimmed().isEmpty())
        SavePreset(name.trimmed().toStdString());
}

void CEqualizerDlg::SavePreset(const std::string& name) {
    const AudioEffectSettings& s = audioeffects::Get();
    core::EqualizerPreset preset{name, 0, s.dEqPreampDb, s.bandsDb};
    auto same = std::find_if(m_userPresets.begin(), m_userPresets.end(),
                             [&](const core::EqualizerPreset& p) { return p.strName == name; });
    if (same != m_userPresets.end())
        *same = preset;
    else
        m_userPresets.push_back(preset);
    shell::SaveUserPresets(m_userPresets);
    FillPresets(name);
}

// Only the user's presets can go; the built-in ones stay.
void CEqualizerDlg::DeleteSelectedPreset() {
    const int index = m_pPresets->currentIndex() - int(core::BuiltInEqualizerPresets().size());
    if (index < 0 || index >= int(m_userPresets.size()))
        return;
    m_userPresets.erase(m_userPresets.begin() + index);
    shell::SaveUserPresets(m_userPresets);
    FillPresets();
}
