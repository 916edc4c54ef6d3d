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

TEST(OpenDialogFilter, ThePlayersOwnFilterKeepsItsSevenGroupsInOrder) {
    const QStringList groups = shell::ToDialogFilter(core::BuildOpenFilter()).split(";;");
    ASSERT_EQ(groups.size(), 7);
    EXPECT_TRUE(groups.front().startsWith("All Supported Files (*."))
        << groups.front().toStdString();
    EXPECT_FALSE(groups.front().contains(';'));
    EXPECT_EQ(groups.back(), "All Files (*.*)");
    for (const QString& g : groups)
        EXPECT_TRUE(g.endsWith(')') && !g.contains("()")) << g.toStdString();
}
