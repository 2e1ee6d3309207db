// Peak resident memory of the application with the benchmark document at k = 3: the main window
// with its form, the canvas size chosen in the form, the style set, 10 pictures dropped onto the
// canvas (the picture list fills with their rows), painted and the icon rendered. Prints the
// maximum resident set in megabytes.
#include "app/mainwindow.h"
#include "benchdocument.h"
#include "canvas/kbwidget.h"
#include "model/localglobal.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

#include <cstdio>

int main(int argc, char** argv) {
    BenchDocument::prepareProcess();
    QApplication application(argc, argv);
    BenchDocument::initApplication();
    MainWindow window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    auto* canvas = window.findChild<KBWidget*>();
    auto* canvasSize = window.findChild<QComboBox*>(QStringLiteral("canvasSizeComboBox"));
    if (!canvas || !canvasSize) {
        std::fprintf(stderr, "The main window has no canvas or no canvas-size list.\n");
        return 1;
    }
    canvasSize->setCurrentIndex(2);
    const int canvasSizeIndex = LocalGlobal::iconStyle.canvasSizeIndex;
    LocalGlobal::iconStyle = BenchDocument::fullStyle();
    LocalGlobal::iconStyle.canvasSizeIndex = canvasSizeIndex;
    QTemporaryDir folder;
    BenchDocument::dropPictures(*canvas, BenchDocument::writePictures(folder.path(), 10));
    canvas->updateData();
    QImage icon;
    canvas->renderIcon(icon);
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%.1f\n", double(usage.ru_maxrss) / 1024.0);
    return canvas->getSizeIndex() == 3 && LocalGlobal::LImageData.size() == 10 ? 0 : 1;
}
