#include "app/applicationicon.h"
#include "app/mainwindow.h"
#include "cli/cli.h"

#include <Magick++.h>
#include <QApplication>

int main(int argc, char** argv) {
    // ImageMagick must be ready before any Magick::Image exists.
    Magick::InitializeMagick(argv[0]);
    if (Cli::isCommandLine(argc, argv))
        return Cli::main(argc, argv);
    QApplication application(argc, argv);
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
