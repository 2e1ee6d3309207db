// An SVG icon of a real theme: dropped, zoomed and turned on the real canvas at k = 3, and every
// target written from it, each drawn in the program's own process (helper 0, as before the
// picture helper) and by a picture helper (helper 1).
#include "benchdocument.h"
#include "benchruns.h"
#include "canvas/canvaswidget.h"
#include "cli/cli.h"
#include "picture/picturehelper.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

const QString themeIcon =
    QStringLiteral("/usr/share/icons/elementary/apps/128/office-calendar.svg");
constexpr double stepTargetMs = 16;

// The way of drawing a benchmark's argument names, for the benchmark's time only.
struct HelperChoice {
    explicit HelperChoice(const benchmark::State& state) {
        PictureHelper::useProgram(state.range(0) ? QStringLiteral(GLIMMERDOCK_EXECUTABLE)
                                                 : QString());
    }
    ~HelperChoice() { PictureHelper::useProgram(QString()); }
};

void setFigure(benchmark::State& state, const std::string& what) {
    state.SetLabel(what + (state.range(0) ? ", picture helper" : ", in process"));
}

// The icon with a comment of its own, so no drawing of an earlier copy is reused.
QString freshCopy(const QString& folder, int n) {
    QFile theme(themeIcon);
    theme.open(QIODevice::ReadOnly);
    const QString path = QStringLiteral("%1/icon%2.svg").arg(folder).arg(n);
    QFile copy(path);
    copy.open(QIODevice::WriteOnly);
    copy.write(theme.readAll() + "<!-- " + QByteArray::number(n) + " -->\n");
    return path;
}

std::unique_ptr<BenchDocument::ShownCanvas> emptyCanvas() {
    Document empty;
    empty.style = BenchDocument::fullStyle();
    empty.style.canvasFactor = 3;
    return std::make_unique<BenchDocument::ShownCanvas>(empty);
}

// A drop of the icon, repainted: read, cleaned, drawn at its size, made a layer.
void svgDrop(benchmark::State& state) {
    const HelperChoice choice(state);
    QTemporaryDir folder;
    const auto shown = emptyCanvas();
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString path = freshCopy(folder.path(), ++n);
        state.ResumeTiming();
        BenchDocument::dropPictures(shown->canvas, shown->edited.document(), {path});
        shown->canvas.repaint();
    }
    setFigure(state, "drop, SVG icon, k=3");
}

// One wheel step on the dropped icon zoomed to fill the canvas (128 px at 700 %: 896 of 900),
// repainted: 1 % larger or 1 degree further each time, so every step draws afresh.
void svgStep(benchmark::State& state, Qt::KeyboardModifiers modifiers, const std::string& what) {
    const HelperChoice choice(state);
    QTemporaryDir folder;
    const auto shown = emptyCanvas();
    BenchDocument::dropPictures(shown->canvas, shown->edited.document(),
                                {freshCopy(folder.path(), 0)});
    BenchDocument::turnWheel(shown->canvas, 600);
    shown->canvas.repaint();
    for (auto _ : state) {
        BenchDocument::turnWheel(shown->canvas, 1, modifiers);
        shown->canvas.repaint();
    }
    setFigure(state, what + " step, SVG icon, k=3");
    state.counters["target_ms"] = stepTargetMs;
}

void svgZoomStep(benchmark::State& state) {
    svgStep(state, {}, "zoom");
}

void svgTurnStep(benchmark::State& state) {
    svgStep(state, Qt::ShiftModifier, "turn");
}

// `render icon.svg --all`, as the command line runs it but in this process.
void svgAll(benchmark::State& state) {
    const HelperChoice choice(state);
    QTemporaryDir folder;
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString path = freshCopy(folder.path(), ++n);
        state.ResumeTiming();
        QString output;
        QTextStream out(&output), err(&output);
        const QStringList arguments{QStringLiteral("glimmerdock"), QStringLiteral("render"), path,
                                    QStringLiteral("--all"),
                                    folder.filePath(QStringLiteral("all"))};
        if (Cli::run(arguments, out, err, false) != 0)
            state.SkipWithError(qPrintable(output));
    }
    setFigure(state, "--all, SVG icon");
}

BENCHMARK(svgDrop)->Apply(BenchRuns::timed)->ArgName("helper")->Arg(0)->Arg(1);
BENCHMARK(svgZoomStep)->Apply(BenchRuns::timed)->ArgName("helper")->Arg(0)->Arg(1);
BENCHMARK(svgTurnStep)->Apply(BenchRuns::timed)->ArgName("helper")->Arg(0)->Arg(1);
BENCHMARK(svgAll)->Apply(BenchRuns::timed)->ArgName("helper")->Arg(0)->Arg(1);

} // namespace
