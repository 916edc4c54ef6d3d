// The baseline of bench/startup.sh: a bare Qt window the size of the player's main window,
// with nothing behind it, so the player's start-up time and memory read as ratios to what Qt
// itself costs on the same machine in the same run.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(275, 116);
    window.show();
    return app.exec();
}
