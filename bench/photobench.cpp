// A 24-megapixel photograph as a camera writes it: its intake (orientation and colour profile
// beside the decode alone) and its zoom, turn and Size edits on the real canvas.
#include "benchdocument.h"
#include "benchruns.h"
#include "canvas/canvaswidget.h"
#include "picture/picturehelper.h"
#include "picture/pictureintake.h"

#include <QImageReader>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr QSize photoSize(6000, 4000);
constexpr double editTargetMs = 100;

const QString& cameraPhotograph() {
    static QTemporaryDir folder;
    static const QString path =
        BenchDocument::writeCameraPhotograph(folder.path(), photoSize, true);
    return path;
}

// The decode alone, as stored: no turn, no colour conversion.
void decode(benchmark::State& state) {
    for (auto _ : state) {
        QImageReader reader(cameraPhotograph());
        reader.setAutoTransform(false);
        benchmark::DoNotOptimize(reader.read());
    }
    state.SetLabel("decode only, 6000x4000 JPEG");
}

// Taken as a drop takes it: upright, in sRGB, premultiplied. At most a quarter more than the
// decode. Decoded in this process (helper 0, as before the picture helper) or by a picture
// helper (helper 1): at most a fifth more.
void intake(benchmark::State& state) {
    PictureHelper::useProgram(state.range(0) ? QStringLiteral(GLIMMERDOCK_EXECUTABLE) : QString());
    for (auto _ : state)
        benchmark::DoNotOptimize(PictureIntake::read(cameraPhotograph()));
    PictureHelper::useProgram(QString());
    state.SetLabel(std::string("intake, same, orientation 6 + Adobe RGB") +
                   (state.range(0) ? ", picture helper" : ", in process"));
}

// The photograph dropped onto a canvas of factor 3 (the drop selects it), zoomed to `scale` with
// the wheel (0: fitted).
std::unique_ptr<BenchDocument::ShownCanvas> photoCanvas(int scale) {
    Document empty;
    empty.style = BenchDocument::fullStyle();
    empty.style.canvasFactor = 3;
    auto shown = std::make_unique<BenchDocument::ShownCanvas>(empty);
    BenchDocument::dropPictures(shown->canvas, shown->edited.document(), {cameraPhotograph()});
    if (scale)
        BenchDocument::turnWheel(
            shown->canvas, scale - BenchDocument::selectedLayer(shown->edited.document()).scale);
    shown->canvas.repaint();
    return shown;
}

void setEditFigure(benchmark::State& state, const std::string& edit) {
    state.SetLabel(edit + ", photo, k=3");
    state.counters["target_ms"] = editTargetMs;
}

// One step of the wheel (1 %, the same edit as a step of the Size box), repainted, at the fitted
// scale or at 1000 %.
void zoomStep(benchmark::State& state) {
    const int scale = int(state.range(0));
    const auto shown = photoCanvas(scale);
    int step = 0;
    for (auto _ : state) {
        BenchDocument::turnWheel(shown->canvas, ++step % 2 ? 1 : -1);
        shown->canvas.repaint();
    }
    setEditFigure(state, "zoom step at " + (scale ? std::to_string(scale) + " %" : "fit"));
}

// One degree of Shift + wheel (the same edit as a step of the turn box), repainted, between 45°
// and 44°.
void turnStep(benchmark::State& state) {
    const int scale = int(state.range(0));
    const auto shown = photoCanvas(scale);
    BenchDocument::turnWheel(shown->canvas, 45, Qt::ShiftModifier);
    shown->canvas.repaint();
    int step = 0;
    for (auto _ : state) {
        BenchDocument::turnWheel(shown->canvas, ++step % 2 ? -1 : 1, Qt::ShiftModifier);
        shown->canvas.repaint();
    }
    setEditFigure(state, "turn step at " + (scale ? std::to_string(scale) + " %" : "fit"));
}

// 1000 % and back to the fitted scale, each one edit: one wheel turn of as many notches, the
// same edit as the value typed into the Size box.
void sizeEdit(benchmark::State& state) {
    const auto shown = photoCanvas(0);
    const int fitted = BenchDocument::selectedLayer(shown->edited.document()).scale;
    int step = 0;
    for (auto _ : state) {
        BenchDocument::turnWheel(shown->canvas, ++step % 2 ? 1000 - fitted : fitted - 1000);
        shown->canvas.repaint();
    }
    setEditFigure(state, "Size edit fit <-> 1000 %");
}

BENCHMARK(decode)->Apply(BenchRuns::timed);
BENCHMARK(intake)->Apply(BenchRuns::timed)->ArgName("helper")->Arg(0)->Arg(1);
BENCHMARK(zoomStep)->Apply(BenchRuns::timed)->ArgName("scale")->Arg(0)->Arg(1000);
BENCHMARK(turnStep)->Apply(BenchRuns::timed)->ArgName("scale")->Arg(0)->Arg(1000);
BENCHMARK(sizeEdit)->Apply(BenchRuns::timed);

} // namespace
