// Peak resident memory of the application, each run in a process of its own, printed as
// "<megabytes>:<target megabytes>:<what>" for glimmerdock_bench's "--peak=".
//
// Without arguments: the main window with its form, the canvas size chosen in the form, the style
// set, 10 pictures dropped onto the canvas (the picture list fills with their rows), painted and
// the icon rendered, at k = 3.
// With "photo": a 6000 x 4000 camera photograph (orientation tag, colour profile) dropped at
// k = 3, zoomed a step, turned to 45°, typed to 1000 % in the Size box, turned and dragged there.
// With "edits": the same photograph zoomed, turned and moved 20 times each, every edit an undo
// step of its own.
#include "app/mainwindow.h"
#include "benchdocument.h"
#include "canvas/canvaswidget.h"
#include "document/localglobal.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <functional>

namespace {

void dropDocument(CanvasWidget& canvas, const QString& folder) {
    const int canvasSizeIndex = LocalGlobal::iconStyle.canvasSizeIndex;
    LocalGlobal::iconStyle = BenchDocument::fullStyle();
    LocalGlobal::iconStyle.canvasSizeIndex = canvasSizeIndex;
    BenchDocument::dropPictures(canvas, BenchDocument::writePictures(folder, 10));
    canvas.updateData();
    QImage icon;
    canvas.renderIcon(icon);
}

// Every edit through the form's own boxes, as a user types them.
void dropPhotograph(CanvasWidget& canvas, const QString& folder) {
    BenchDocument::dropPictures(canvas,
                                {BenchDocument::writeCameraPhotograph(folder, {6000, 4000}, true)});
    canvas.selectByName(LocalGlobal::imageName(LocalGlobal::LImageData.constLast().index));
}

void editPhotograph(MainWindow& window, CanvasWidget& canvas, const QString& folder) {
    dropPhotograph(canvas, folder);
    auto* size = window.findChild<QSpinBox*>(QStringLiteral("sizeSpinBox"));
    auto* turn = window.findChild<QSpinBox*>(QStringLiteral("rotateSpinBox"));
    size->setValue(size->value() + 1);
    turn->setValue(45);
    size->setValue(1000);
    turn->setValue(30);
    canvas.setSelectedPosition(-2000, -1500);
    QImage icon;
    canvas.renderIcon(icon);
}

// Sixty undo steps, each of which could take back a made picture of its own.
void editPhotographOften(MainWindow& window, CanvasWidget& canvas, const QString& folder) {
    dropPhotograph(canvas, folder);
    auto* size = window.findChild<QSpinBox*>(QStringLiteral("sizeSpinBox"));
    auto* turn = window.findChild<QSpinBox*>(QStringLiteral("rotateSpinBox"));
    const auto edit = [](const std::function<void()>& change) {
        change();
        QCoreApplication::processEvents();
    };
    QCoreApplication::processEvents();
    for (int i = 0; i < 20; ++i) {
        edit([&] { size->setValue(300 + 37 * i); });
        edit([&] { turn->setValue(7 * i); });
        edit([&] { canvas.setSelectedPosition(-100 * i, -50 * i); });
    }
}

} // namespace

int main(int argc, char** argv) {
    BenchDocument::prepareProcess();
    const char* mode = argc > 1 ? argv[1] : "";
    QApplication application(argc, argv);
    BenchDocument::initApplication();
    MainWindow window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    auto* canvas = window.findChild<CanvasWidget*>();
    auto* canvasSize = window.findChild<QComboBox*>(QStringLiteral("canvasSizeComboBox"));
    if (!canvas || !canvasSize) {
        std::fprintf(stderr, "The main window has no canvas or no canvas-size list.\n");
        return 1;
    }
    canvasSize->setCurrentIndex(2);
    QTemporaryDir folder;
    const char* what = "10 pictures, k=3";
    int targetMB = 0;
    if (std::strcmp(mode, "photo") == 0) {
        editPhotograph(window, *canvas, folder.path());
        what = "photo at 1000 %, k=3";
        targetMB = 400;
    } else if (std::strcmp(mode, "edits") == 0) {
        editPhotographOften(window, *canvas, folder.path());
        what = "photo, 60 undo steps, k=3";
        targetMB = 400;
    } else {
        dropDocument(*canvas, folder.path());
    }
    QCoreApplication::processEvents();
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%.1f:%d:%s\n", double(usage.ru_maxrss) / 1024.0, targetMB, what);
    return canvas->getSizeIndex() == 3 && !LocalGlobal::LImageData.isEmpty() ? 0 : 1;
}
