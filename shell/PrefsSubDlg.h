// The base of the Preferences pages and the two pages. Every control stores its value into the
// core preferences as soon as it is clicked or edited; a typed number is brought into its
// range at once (3 gives a font size of 8), and the edit shows the stored value once editing
// ends. Each change is reported with the old value, so the windows can apply it at once.
#pragma once

#include "core/CorePrefs.h"
#include "shell/ISDialog.h"
#include "shell/SystemMenu.h"

#include <vector>

class QButtonGroup;
class QCheckBox;
class QGridLayout;
class QLineEdit;
class QScrollBar;

class CPrefsSubDlg : public CISDialog {
public:
    CPrefsSubDlg(int nIDD, QWidget* pParent);

    int GetIDD() const { return m_nIDD; }
    void SetChangeHandler(shell::PrefChangeHandler handler) { m_onChange = std::move(handler); }
    // Reads the typed values back; false when one cannot be read (empty), which then has the
    // focus. Edits show the stored values afterwards.
    bool ReadBack();
    // The control with the resource id, or null.
    QWidget* GetDlgItem(int id) const;

protected:
    // Stores a value brought into range and reports a change.
    void Store(CCorePrefs::Pref pref, std::int32_t value);
    QCheckBox* MakeCheck(int id, std::uint32_t textId, CCorePrefs::Pref pref);
    void AddCheck(int id, std::uint32_t textId, CCorePrefs::Pref pref);
    // A number edit of at most two characters with its spin (up raises the value).
    void AddNumber(int editId, int spinId, CCorePrefs::Pref pref, QWidget* pLabel);
    // Radio buttons with ids first, first + 1, ... storing 0, 1, ...
    QButtonGroup* AddRadios(int firstId, std::uint32_t titleId,
                            const std::vector<std::uint32_t>& textIds, CCorePrefs::Pref pref);
    QGridLayout* Grid() const { return m_pGrid; }

private:
    struct NumberField {
        QLineEdit* pEdit;
        QScrollBar* pSpin;
        CCorePrefs::Pref pref;
    };
    void OnNumberEdited(const NumberField& field);
    void ShowStored(const NumberField& field);

    int m_nIDD;
    QGridLayout* m_pGrid = nullptr;
    std::vector<NumberField> m_numbers;
    shell::PrefChangeHandler m_onChange;
};

// "General Options" (dialog resource 155).
class CPrefsGeneralDlg : public CPrefsSubDlg {
public:
    enum {
        IDD = 155,
        IDC_RELOAD_PLAYLIST = 1039,
        IDC_RESET_PLAY_NUMBER = 1040,
        IDC_HIDE_PLAYWND = 1041,
        IDC_AUTO_PLAY = 1042,
        IDC_REPLAYGAIN_OFF = 33210, // track and album follow
        IDC_REPLAYGAIN_PREAMP = 33213,
        IDC_PREVENT_CLIPPING = 33214,
    };
    explicit CPrefsGeneralDlg(QWidget* pParent = nullptr);

private:
    // ReplayGain: its settings belong to the audio chain, not to the core preferences.
    void AddReplayGain();
};

// "Display Options" (dialog resource 156).
class CPrefsDisplayDlg : public CPrefsSubDlg {
public:
    enum {
        IDD = 156,
        IDC_SKINNED_CURSORS = 1025,
        IDC_CLIP_NUMBERS = 1026,
        IDC_TOOLTIPS_NONE = 1027, // 1028, 1029 follow
        IDC_ICON_TASKBAR = 1030,  // 1031, 1032 follow
        IDC_SNAP_DESKTOP = 1033,
        IDC_DESKTOP_DISTANCE = 1034,
        IDC_SNAP_WINDOWS = 1035,
        IDC_WINDOW_DISTANCE = 1036,
        IDC_PLAYLIST_FONT = 1037,
        IDC_PLAYLIST_FONT_SPIN = 1038,
        IDC_DESKTOP_DISTANCE_SPIN = 1039,
        IDC_WINDOW_DISTANCE_SPIN = 1040,
        IDC_SHADE_FONT = 1041,
        IDC_SHADE_FONT_SPIN = 1042,
    };
    explicit CPrefsDisplayDlg(QWidget* pParent = nullptr);
};
