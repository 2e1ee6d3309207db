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
#include "form/editorform.h"
#include "render/iconrenderer.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>

namespace {

// The style set as a project brings it (the canvas size chosen stays), then the pictures dropped.
void dropDocument(EditorForm& form, CanvasWidget& canvas, const QString& folder) {
    Document styled;
    styled.style = BenchDocument::fullStyle();
    styled.style.canvasFactor = form.document().style.canvasFactor;
    form.openDocument(styled);
    BenchDocument::dropPictures(canvas, form.document(), BenchDocument::writePictures(folder, 10));
    canvas.repaint();
    const QImage icon = renderDocumentIcon(form.document());
    Q_UNUSED(icon);
}

// The drop selects the photograph.
void dropPhotograph(const EditorForm& form, CanvasWidget& canvas, const QString& folder) {
    BenchDocument::dropPictures(canvas, form.document(),
                                {BenchDocument::writeCameraPhotograph(folder, {6000, 4000}, true)});
}

// The selected picture dragged on the canvas from the middle of the canvas (which it covers) so
// that its top-left comes to `position`, to a canvas pixel at k = 3: one undo step.
void dragSelectedTo(const EditorForm& form, CanvasWidget& canvas, QPoint position) {
    const Document& document = form.document();
    const int k = document.style.canvasFactor;
    const QPoint distance = position - BenchDocument::selectedLayer(document).position;
    const QPoint press(150, 150);
    BenchDocument::drag(canvas, press,
                        press + QPoint(int(std::lround(double(distance.x()) / k)),
                                       int(std::lround(double(distance.y()) / k))));
}

// Zoom and turn through the form's own boxes, as a user types them; moves by dragging.
void editPhotograph(MainWindow& window, EditorForm& form, CanvasWidget& canvas,
                    const QString& folder) {
    dropPhotograph(form, canvas, folder);
    auto* size = window.findChild<QSpinBox*>(QStringLiteral("sizeSpinBox"));
    auto* turn = window.findChild<QSpinBox*>(QStringLiteral("rotateSpinBox"));
    size->setValue(size->value() + 1);
    turn->setValue(45);
    size->setValue(1000);
    turn->setValue(30);
    dragSelectedTo(form, canvas, QPoint(-2000, -1500));
    canvas.repaint();
    const QImage icon = renderDocumentIcon(form.document());
    Q_UNUSED(icon);
}

// Sixty undo steps, each of which could take back a made picture of its own.
void editPhotographOften(MainWindow& window, EditorForm& form, CanvasWidget& canvas,
                         const QString& folder) {
    dropPhotograph(form, canvas, folder);
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
        edit([&] { dragSelectedTo(form, canvas, QPoint(-100 * i, -50 * i)); });
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
    auto* form = window.findChild<EditorForm*>();
    auto* canvas = window.findChild<CanvasWidget*>();
    auto* canvasSize = window.findChild<QComboBox*>(QStringLiteral("canvasSizeComboBox"));
    if (!form || !canvas || !canvasSize) {
        std::fprintf(stderr, "The main window has no form, canvas or canvas-size list.\n");
        return 1;
    }
    canvasSize->setCurrentIndex(2);
    QTemporaryDir folder;
    const char* what = "10 pictures, k=3";
    int targetMB = 0;
    if (std::strcmp(mode, "photo") == 0) {
        editPhotograph(window, *form, *canvas, folder.path());
        what = "photo at 1000 %, k=3";
        targetMB = 400;
    } else if (std::strcmp(mode, "edits") == 0) {
        editPhotographOften(window, *form, *canvas, folder.path());
        what = "photo, 60 undo steps, k=3";
        targetMB = 400;
    } else {
        dropDocument(*form, *canvas, folder.path());
    }
    QCoreApplication::processEvents();
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%.1f:%d:%s\n", double(usage.ru_maxrss) / 1024.0, targetMB, what);
    return canvas->canvasFactor() == 3 && !form->document().layers.isEmpty() ? 0 : 1;
}
