// The volume of one source line of the sound card's mixer (the ALSA simple mixer of the
// default card): the CD line for the CD-audio engine. Levels run 0..65535. Without the line
// (no card, no such element, no volume on it) the level reads 0 and setting it does nothing.
#pragma once

#include <string>

enum class MixerComponent { CompactDisc };

class CMixerVolume {
public:
    // The line's volume control on the card (by default the default card), looked for when
    // first asked about.
    explicit CMixerVolume(MixerComponent component, const std::string& card = "default");

    bool HasControl() const;
    unsigned GetLevel() const;
    void SetLevel(unsigned level);

    // The simple-mixer element that stands for a line.
    static const char* ElementName(MixerComponent component);

private:
    int m_nChannels = 1;
    mutable int m_nControlId = -1; // the element's index on the card, once found
    mutable int m_bValid = 0;      // the search has run
    std::string m_strCard;
    std::string m_strElement;
};
