// The equalizer dialog: on/off, a preamp and ten band sliders, the built-in presets and the
// user's own (saved under a name, deleted). Every change is heard at once: it goes straight to
// the audio chain's settings.
#pragma once

#include "core/EqualizerPresets.h"
#include "shell/ISDialog.h"

#include <array>
#include <vector>

class QCheckBox;
class QComboBox;
class QSlider;

class CEqualizerDlg : public CISDialog {
public:
    enum {
        IDD = 33220,
        IDC_ENABLE = 33221,
        IDC_PRESET = 33222,
        IDC_SAVE = 33223,
        IDC_DELETE = 33224,
        IDC_PREAMP = 33225,
        IDC_BAND0 = 33226, // the ten bands follow
        IDC_CLOSE = 33236,
    };

    explicit CEqualizerDlg(QWidget* pParent = nullptr);

    // The sliders' tenths of a decibel; the dialog's tests move them as the user would.
    QSlider* Band(int i) const { return m_bands[std::size_t(i)]; }
    QSlider* Preamp() const { return m_pPreamp; }
    QComboBox* Presets() const { return m_pPresets; }
    // Stores the current gains as a user preset (replacing one of the same name).
    void SavePreset(const std::string& name);
    void DeleteSelectedPreset();

private:
    void ShowSettings();
    void OnSliderMoved();
    void OnPresetChosen(int index);
    void FillPresets(const std::string& select = {});
    void AskPresetName();
    QSlider* MakeSlider(int id);

    QCheckBox* m_pEnable = nullptr;
    QComboBox* m_pPresets = nullptr;
    QSlider* m_pPreamp = nullptr;
    std::array<QSlider*, 10> m_bands{};
    std::vector<core::EqualizerPreset> m_userPresets;
};
