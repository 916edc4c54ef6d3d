// The mixer's CD line: where the card has none, the level reads 0 and setting it does nothing;
// where it has one, a level comes back within the card's step size.
#include "playback/MixerVolume.h"

#include <gtest/gtest.h>

TEST(MixerVolume, TheCdLineReadsBackWhatWasSetOrStaysAtZeroWithoutOne) {
    EXPECT_STREQ(CMixerVolume::ElementName(MixerComponent::CompactDisc), "CD");
    EXPECT_FALSE(CMixerVolume(MixerComponent::CompactDisc, "hw:99").HasControl());
    for (const char* card : {"hw:99", "default"}) {
        CMixerVolume cd(MixerComponent::CompactDisc, card);
        const unsigned before = cd.GetLevel();
        EXPECT_TRUE(cd.HasControl() || before == 0) << card;
        cd.SetLevel(65535);
        EXPECT_EQ(cd.GetLevel(), cd.HasControl() ? 65535u : 0u) << card;
        cd.SetLevel(before);
    }
}
