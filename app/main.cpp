#include "app/applicationicon.h"
#include "app/mainwindow.h"
#include "cli/cli.h"
#include "picture/picturehelper.h"
#include "picture/pictureserver.h"

#include <Magick++.h>
#include <QApplication>

#include <cstring>

int main(int argc, char** argv) {
    // ImageMagick must be ready before any Magick::Image exists.
    Magick::InitializeMagick(argv[0]);
    if (argc == 2 && std::strcmp(argv[1], PictureHelper::helperArgument) == 0)
        return PictureServer::run(argc, argv);
    if (Cli::isCommandLine(argc, argv))
        return Cli::main(argc, argv);
    QApplication application(argc, argv);
    // Pictures are decoded and SVG drawn by helpers of this same program.
    PictureHelper::useProgram(QCoreApplication::applicationFilePath());
    // The installed desktop entry's name lets Wayland desktops match the window to its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.kestrelby.Glimmerdock"));
    QApplication::setWindowIcon(applicationIcon());
    MainWindow window;
    window.show();
    // A project named on the command line opens as if chosen in the File menu.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1)
        window.openProject(arguments.at(1));
    return application.exec();
}
