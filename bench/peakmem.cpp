// Peak resident memory of the application holding the benchmark document (10 pictures) at k = 3:
// the main window with its canvas, every picture dropped, painted, the icon rendered. Prints the
// maximum resident set in megabytes.
#include "app/mainwindow.h"
#include "benchdocument.h"
#include "canvas/kbwidget.h"
#include "model/localglobal.h"

#include <QApplication>
#include <QImage>

#include <sys/resource.h>

#include <cstdio>

int main(int argc, char** argv) {
    BenchDocument::prepareProcess();
    QApplication application(argc, argv);
    BenchDocument::initApplication();
    MainWindow window;
    window.show();
    LocalGlobal::iconStyle = BenchDocument::fullStyle();
    LocalGlobal::iconStyle.canvasSizeIndex = 3;
    LocalGlobal::LImageData = BenchDocument::pictures(3, 10);
    KBWidget* canvas = window.findChild<KBWidget*>();
    KBWidget standalone;
    if (!canvas)
        canvas = &standalone;
    BenchDocument::setUpCanvas(*canvas, 3);
    canvas->repaint();
    QImage icon;
    canvas->renderIcon(icon);
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%.1f\n", double(usage.ru_maxrss) / 1024.0);
    return 0;
}
