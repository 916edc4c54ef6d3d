// The mixer's CD line: where the card has none, the level reads 0 and setting it does nothing.
#include "playback/MixerVolume.h"

#include <gtest/gtest.h>

TEST(MixerVolume, ACardWithoutTheLineReadsZeroAndIgnoresLevels) {
    CMixerVolume missing(MixerComponent::CompactDisc, "hw:99");
    EXPECT_FALSE(missing.HasControl());
    EXPECT_EQ(missing.GetLevel(), 0u);
    missing.SetLevel(40000);
    EXPECT_EQ(missing.GetLevel(), 0u);
    EXPECT_STREQ(CMixerVolume::ElementName(MixerComponent::CompactDisc), "CD");
}

TEST(MixerVolume, TheDefaultCardsLineReadsBackWhatWasSetOrStaysAtZero) {
    CMixerVolume cd(MixerComponent::CompactDisc);
    if (!cd.HasControl()) {
        EXPECT_EQ(cd.GetLevel(), 0u);
        cd.SetLevel(65535);
        EXPECT_EQ(cd.GetLevel(), 0u);
        return;
    }
    // A card with a CD line: a level comes back within the card's step size.
    const unsigned before = cd.GetLevel();
    cd.SetLevel(65535);
    EXPECT_EQ(cd.GetLevel(), 65535u);
    cd.SetLevel(before);
}
