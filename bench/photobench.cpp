// A 24-megapixel photograph as a camera writes it: its intake (orientation and colour profile
// beside the decode alone) and its zoom, turn and Size edits on the real canvas.
#include "benchdocument.h"
#include "canvas/canvaswidget.h"
#include "document/localglobal.h"
#include "picture/pictureintake.h"

#include <QImageReader>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

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
// decode.
void intake(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(PictureIntake::read(cameraPhotograph()));
    state.SetLabel("intake, same, orientation 6 + Adobe RGB");
}

// The photograph dropped onto a canvas of factor 3 and selected, zoomed to `scale` (0: fitted).
std::unique_ptr<CanvasWidget> photoCanvas(int scale) {
    LocalGlobal::LImageData.clear();
    auto canvas = std::make_unique<CanvasWidget>();
    BenchDocument::setUpCanvas(*canvas, 3);
    BenchDocument::dropPictures(*canvas, {cameraPhotograph()});
    canvas->selectByName(LocalGlobal::imageName(LocalGlobal::LImageData.constLast().index));
    if (scale)
        canvas->setSelectedScale(scale);
    return canvas;
}

void setEditFigure(benchmark::State& state, const std::string& edit) {
    state.SetLabel(edit + ", photo, k=3");
    state.counters["target_ms"] = editTargetMs;
}

// One step of the Size box or the wheel (1 %), repainted, at the fitted scale or at 1000 %.
void zoomStep(benchmark::State& state) {
    const int scale = int(state.range(0));
    const auto canvas = photoCanvas(scale);
    const int from = LocalGlobal::LImageData.constLast().scale;
    int step = 0;
    for (auto _ : state)
        canvas->setSelectedScale(from + ++step % 2);
    setEditFigure(state, "zoom step at " + (scale ? std::to_string(scale) + " %" : "fit"));
}

// One degree of the turn box or Shift + wheel, repainted.
void turnStep(benchmark::State& state) {
    const int scale = int(state.range(0));
    const auto canvas = photoCanvas(scale);
    int step = 0;
    for (auto _ : state)
        canvas->setSelectedRotation(++step % 2 ? 45 : 44);
    setEditFigure(state, "turn step at " + (scale ? std::to_string(scale) + " %" : "fit"));
}

// 1000 % typed into the Size box and the fitted scale typed back, each one edit.
void sizeEdit(benchmark::State& state) {
    const auto canvas = photoCanvas(0);
    const int fitted = LocalGlobal::LImageData.constLast().scale;
    int step = 0;
    for (auto _ : state)
        canvas->setSelectedScale(++step % 2 ? 1000 : fitted);
    setEditFigure(state, "Size edit fit <-> 1000 %");
}

void configure(benchmark::internal::Benchmark* benchmark) {
    benchmark->UseRealTime()->Unit(benchmark::kMillisecond)->Repetitions(5)->MinTime(0.2);
}

BENCHMARK(decode)->Apply(configure);
BENCHMARK(intake)->Apply(configure);
BENCHMARK(zoomStep)->Apply(configure)->ArgName("scale")->Arg(0)->Arg(1000);
BENCHMARK(turnStep)->Apply(configure)->ArgName("scale")->Arg(0)->Arg(1000);
BENCHMARK(sizeEdit)->Apply(configure);

} // namespace
