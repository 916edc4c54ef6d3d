// Entry point of every test program: a QApplication exists for the whole run (offscreen
// unless the environment names another platform), so window and drawing tests can run.
#include <QApplication>

#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // A sink that discards sound: a test machine may have none, and clips refuse to play to none.
    ::setenv("CORVELLA_AUDIO_SINK", "fakesink", 0);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
