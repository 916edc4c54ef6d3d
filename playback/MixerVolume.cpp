#include "playback/MixerVolume.h"

#include <algorithm>
#include <alsa/asoundlib.h>

namespace {

// An open simple mixer of one card, closed when it goes.
class CMixerHandle {
public:
    explicit CMixerHandle(const std::string& card) {
        if (snd_mixer_open(&m_pMixer, 0) < 0) {
            m_pMixer = nullptr;
            return;
        }
        if (snd_mixer_attach(m_pMixer, card.c_str()) < 0 ||
            snd_mixer_selem_register(m_pMixer, nullptr, nullptr) < 0 ||
            snd_mixer_load(m_pMixer) < 0) {
            snd_mixer_close(m_pMixer);
            m_pMixer = nullptr;
        }
    }
    ~CMixerHandle() {
        if (m_pMixer)
            snd_mixer_close(m_pMixer);
    }
    CMixerHandle(const CMixerHandle&) = delete;
    CMixerHandle& operator=(const CMixerHandle&) = delete;

    // The element of that name with a playback volume, and its index on the card.
    snd_mixer_elem_t* Find(const std::string& name, int* pIndex = nullptr) const {
        if (!m_pMixer)
            return nullptr;
        int index = 0;
        for (snd_mixer_elem_t* p = snd_mixer_first_elem(m_pMixer); p;
             p = snd_mixer_elem_next(p), ++index) {
            if (name == snd_mixer_selem_get_name(p) && snd_mixer_selem_has_playback_volume(p)) {
                if (pIndex)
                    *pIndex = index;
                return p;
            }
        }
        return nullptr;
    }

private:
    snd_mixer_t* m_pMixer = nullptr;
};

// ALSA messages about a missing card would only clutter standard error.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

} // namespace

const char* CMixerVolume::ElementName(MixerComponent component) {
    switch (component) {
    case MixerComponent::CompactDisc:
    default:
        return "CD";
    }
}

CMixerVolume::CMixerVolume(MixerComponent component, const std::string& card)
    : m_strCard(card), m_strElement(ElementName(component)) {}

// The card is searched when the line is first wanted: opening the default card's mixer may
// load the sound server's client and talk to the server, which a start that plays no CD
// should not wait for.
bool CMixerVolume::HasControl() const {
    if (!m_bValid) {
        snd_lib_error_set_handler(QuietAlsa);
        int index = -1;
        CMixerHandle mixer(m_strCard);
        if (mixer.Find(m_strElement, &index))
            m_nControlId = index;
        m_bValid = 1;
    }
    return m_nControlId >= 0;
}

unsigned CMixerVolume::GetLevel() const {
    if (!HasControl())
        return 0;
    CMixerHandle mixer(m_strCard);
    snd_mixer_elem_t* pElement = mixer.Find(m_strElement);
    long min = 0, max = 0, value = 0;
    if (!pElement || snd_mixer_selem_get_playback_volume_range(pElement, &min, &max) < 0 ||
        max <= min ||
        snd_mixer_selem_get_playback_volume(pElement, SND_MIXER_SCHN_FRONT_LEFT, &value) < 0)
        return 0;
    return unsigned((std::clamp(value, min, max) - min) * 65535 / (max - min));
}

void CMixerVolume::SetLevel(unsigned level) {
    if (!HasControl())
        return;
    CMixerHandle mixer(m_strCard);
    snd_mixer_elem_t* pElement = mixer.Find(m_strElement);
    long min = 0, max = 0;
    if (!pElement || snd_mixer_selem_get_playback_volume_range(pElement, &min, &max) < 0 ||
        max <= min)
        return;
    // One value for every channel of the line.
    const long value = min + long(std::min(level, 65535u)) * (max - min) / 65535;
    snd_mixer_selem_set_playback_volume_all(pElement, value);
}
