#include "app/mainwindow.h"

#include <Magick++.h>
#include <QApplication>

int main(int argc, char** argv) {
    // ImageMagick must be ready before any Magick::Image exists.
    Magick::InitializeMagick(argv[0]);
    QApplication application(argc, argv);
    MainWindow window;
    window.show();
    return application.exec();
}
