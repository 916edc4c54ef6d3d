#include "shell/PlayerApp.h"
#include "core/MediaTypes.h"

#include <QStringList>
#include <gtest/gtest.h>

TEST(OpenDialogFilter, EachGroupBecomesANamedPatternListInTheDialogNotation) {
    EXPECT_EQ(
        shell::ToDialogFilter("Playlist Files (*.mpl;*.m3u)|*.mpl;*.m3u|All Files (*.*)|*.*||"),
        "Playlist Files (*.mpl *.m3u);;All Files (*.*)");
    // A label without its own pattern list still gets one; a filter without its closing bars
    // still ends at its last group.
    EXPECT_EQ(shell::ToDialogFilter("Songs|*.mp3;*.wav"), "Songs (*.mp3 *.wav)");
    EXPECT_EQ(shell::ToDialogFilter(""), "");
    EXPECT_EQ(shell::ToDialogFilter("||"), "");
}
