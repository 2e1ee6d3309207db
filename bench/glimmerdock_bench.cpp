// Screen paint, drag step and rendering of the real canvas at k = 1, 2, 3 beside the memory
// bandwidth of the machine; prints one table (TableReporter).
#include "benchdocument.h"
#include "benchruns.h"
#include "canvas/canvaswidget.h"
#include "cli/renderjob.h"
#include "document/editeddocument.h"
#include "document/projectfile.h"
#include "document/stylestore.h"
#include "form/editorform.h"
#include "form/previewscheduler.h"
#include "form/sizepreview.h"
#include "output/exporttarget.h"
#include "output/exporttargets.h"
#include "output/filecommit.h"
#include "output/iconsizes.h"
#include "output/icowriter.h"
#include "render/iconrenderer.h"
#include "tablereporter.h"

#include <QApplication>
#include <QComboBox>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUndoStack>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr double bytesPerPixel = 4;

double canvasBytes(int k) {
    return 300.0 * k * 300.0 * k * bytesPerPixel;
}

double iconBytes(int k) {
    return 256.0 * k * 256.0 * k * bytesPerPixel;
}

double squareBytes(int edge) {
    return double(edge) * edge * bytesPerPixel;
}

// The icon file's entries for the rendering at factor k, as the writer makes them.
QList<int> icoEntries(int k) {
    return icoEntrySizes(256 * k);
}

std::string pictureCount(int count) {
    return std::to_string(count) + (count == 1 ? " picture" : " pictures");
}

void setFigure(benchmark::State& state, const std::string& label, double touched,
               double targetMs = 0) {
    state.SetLabel(label);
    state.counters["touched"] = touched;
    if (targetMs > 0)
        state.counters["target_ms"] = targetMs;
}

// The bytes of every file under `path` (a file or a folder): what a row wrote, beside its time.
double writtenBytes(const QString& path) {
    if (QFileInfo(path).isFile())
        return double(QFileInfo(path).size());
    double bytes = 0;
    for (QDirIterator file(path, QDir::Files, QDirIterator::Subdirectories); file.hasNext();)
        bytes += double(QFileInfo(file.next()).size());
    return bytes;
}

// Processor seconds of this process and of the processes it waited for (convert), all threads
// counted: the work of a row, which a machine busy with other work does not inflate as it does
// the time.
double processorSeconds() {
    double seconds = 0;
    for (const int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        getrusage(who, &usage);
        for (const timeval& time : {usage.ru_utime, usage.ru_stime})
            seconds += double(time.tv_sec) + double(time.tv_usec) / 1e6;
    }
    return seconds;
}

// Counts the processor time of the iterations run between its making and `finish`, and the bytes
// the last of them wrote at `path`.
class WorkCounter {
public:
    void finish(benchmark::State& state, const QString& path) const {
        if (state.iterations() > 0)
            state.counters["cpu_ms"] =
                (processorSeconds() - start) * 1e3 / double(state.iterations());
        state.counters["bytes"] = writtenBytes(path);
    }

private:
    double start = processorSeconds();
};

// A canvas holding the benchmark document at factor k, shown as the form shows it.
std::unique_ptr<BenchDocument::ShownCanvas> openCanvas(int k, int pictures) {
    return std::make_unique<BenchDocument::ShownCanvas>(BenchDocument::document(k, pictures));
}

using BenchDocument::sendMouse;

// Targets per figure at factor k with the full document.
double paintTarget(int k, int pictures) {
    if (pictures != 10)
        return 0;
    return k == 3 ? 4 : k == 1 ? 1 : 0;
}

// Copying one canvas of factor k (k 0: 64 MiB, far beyond the caches): the bandwidth the bounds
// are measured against, reads and writes counted.
void copy(benchmark::State& state) {
    const int k = int(state.range(0));
    const size_t bytes = k == 0 ? size_t(64) << 20 : size_t(canvasBytes(k));
    std::vector<char> from(bytes, 1);
    std::vector<char> to(bytes, 0);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    setFigure(state,
              k == 0 ? "memory copy, 64 MiB" : "memory copy, one canvas k=" + std::to_string(k),
              2.0 * double(bytes));
}

// One screen paint as the form asks for it: a synchronous repaint of the shown canvas, which
// composes the whole canvas and scales it to 300 x 300. It must at least write the canvas once,
// read it once for the scaling and write the screen image.
void paint(benchmark::State& state) {
    const int k = int(state.range(0));
    const int pictures = int(state.range(1));
    const auto shown = openCanvas(k, pictures);
    for (auto _ : state)
        shown->canvas.repaint();
    setFigure(state, "screen paint, k=" + std::to_string(k) + ", " + pictureCount(pictures),
              2 * canvasBytes(k) + squareBytes(300), paintTarget(k, pictures));
}

// One drag step: a real mouse move over the pressed top picture, whose handler moves the picture
// (one edit of the document, merged into the drag's undo step), and the paint it asks for, made
// at once. Same bytes as a paint.
void drag(benchmark::State& state) {
    const int k = int(state.range(0));
    const auto shown = openCanvas(k, 10);
    CanvasWidget* canvas = &shown->canvas;
    const QPoint press = BenchDocument::pointOnTopPicture(shown->edited.document());
    sendMouse(canvas, QEvent::MouseButtonPress, press, Qt::LeftButton);
    canvas->repaint();
    int step = 0;
    for (auto _ : state) {
        const int offset = ++step % 2 ? 3 : -3;
        sendMouse(canvas, QEvent::MouseMove, press + QPoint(offset, offset), Qt::LeftButton);
        canvas->repaint();
    }
    sendMouse(canvas, QEvent::MouseButtonRelease, press, Qt::NoButton);
    setFigure(state, "drag step, k=" + std::to_string(k) + ", 10 pictures",
              2 * canvasBytes(k) + squareBytes(300),
              k == 3   ? 5
              : k == 1 ? 1
                       : 0);
}

// The finished icon alone, as an export renders it: at least the icon square written once.
void renderIcon(benchmark::State& state) {
    const int k = int(state.range(0));
    const int pictures = int(state.range(1));
    const Document document = BenchDocument::document(k, pictures);
    for (auto _ : state) {
        const QImage icon = renderDocumentIcon(document);
        benchmark::DoNotOptimize(icon.constBits());
    }
    setFigure(state, "renderIcon, k=" + std::to_string(k) + ", " + pictureCount(pictures),
              iconBytes(k));
}

// The bytes an icon file's entries must touch: the rendering read once per entry, each entry
// written once.
double icoBytes(int k) {
    double bytes = 0;
    for (const int entry : icoEntries(k))
        bytes += iconBytes(k) + squareBytes(entry);
    return bytes;
}

// ImageMagick's own tool: the path a user without Glimmerdock takes. The system's ImageMagick is
// preferred over whatever else answers to "convert" on the PATH.
QString convertProgram() {
    const QString chosen = qEnvironmentVariable("GLIMMERDOCK_CONVERT");
    if (!chosen.isEmpty())
        return chosen;
    for (const QString& name : {QStringLiteral("magick"), QStringLiteral("convert")}) {
        const QString system = QStandardPaths::findExecutable(name, {QStringLiteral("/usr/bin")});
        if (!system.isEmpty())
            return system;
    }
    return QStandardPaths::findExecutable(QStringLiteral("convert"));
}

// The same entries as writeIcoFile, from the same rendering saved as PNG: "convert r.png
// ( -clone 0 -resize 16x16 ) ... -delete 0 out.ico".
QStringList convertArguments(const QString& rendering, int k, const QList<int>& entries,
                             const QString& icoFile) {
    QStringList arguments{rendering};
    for (const int entry : entries) {
        arguments << QStringLiteral("(") << QStringLiteral("-clone") << QStringLiteral("0");
        if (entry != 256 * k)
            arguments << QStringLiteral("-resize") << QStringLiteral("%1x%1").arg(entry);
        arguments << QStringLiteral(")");
    }
    arguments << QStringLiteral("-delete") << QStringLiteral("0") << icoFile;
    return arguments;
}

// The entries of the icon file of a run: "set" 0 the default ones, 1 the full Windows set.
QList<int> runEntries(const benchmark::State& state, int k) {
    return state.range(1) ? IconSizes::windowsSet() : icoEntries(k);
}

std::string entriesLabel(const benchmark::State& state, int k) {
    return std::string(state.range(1) ? "Windows set, sharp" : "default entries") +
           ", k=" + std::to_string(k);
}

void convert(benchmark::State& state) {
    const int k = int(state.range(0));
    const QString program = convertProgram();
    if (program.isEmpty()) {
        state.SkipWithError("ImageMagick's convert not found");
        return;
    }
    QTemporaryDir folder;
    const QImage rendering = renderDocumentIcon(BenchDocument::document(k, 10));
    const QString png = folder.filePath(QStringLiteral("r.png"));
    rendering.save(png);
    const QString out = folder.filePath(QStringLiteral("out.ico"));
    const QStringList arguments = convertArguments(png, k, runEntries(state, k), out);
    const WorkCounter work;
    for (auto _ : state) {
        QProcess process;
        process.start(program, arguments);
        if (!process.waitForFinished(60000) || process.exitCode() != 0) {
            state.SkipWithError("convert failed");
            break;
        }
    }
    work.finish(state, out);
    setFigure(state, "convert, " + entriesLabel(state, k), icoBytes(k));
}

// What the Go button does for "Windows": render the icon once, write every entry into one file
// (with the Windows set, its small entries drawn at their own size).
void writeIcoFile(benchmark::State& state) {
    const int k = int(state.range(0));
    Document document = BenchDocument::document(k, 10);
    document.output.target = QStringLiteral("ico");
    document.output.iconSizes = state.range(1) ? IconSizes::windowsSet() : QList<int>();
    document.output.sharpSizes = state.range(1) != 0;
    const ExportTarget& target = *ExportTargets::find(QStringLiteral("ico"));
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("icon.ico"));
    const ExportTarget::Destination destination = target.destinationOf(file);
    const WorkCounter work;
    for (auto _ : state) {
        if (!target.write(document, renderDocumentIcon(document), destination).isEmpty()) {
            state.SkipWithError("the icon file could not be written");
            break;
        }
    }
    work.finish(state, file);
    setFigure(state, "writeIcoFile, " + entriesLabel(state, k), icoBytes(k));
}

// What the Go button does for "PNG Files" with the default sizes: render once, scale and write
// 16x16.png, 32x32.png, 48x48.png and 256x256.png.
void pngExport(benchmark::State& state) {
    const int k = int(state.range(0));
    Document document = BenchDocument::document(k, 10);
    const QList<int> sizes{16, 32, 48, 256};
    document.output.target = QStringLiteral("png");
    document.output.pngSizes = sizes;
    const ExportTarget& target = *ExportTargets::find(QStringLiteral("png"));
    QTemporaryDir folder;
    const ExportTarget::Destination destination = target.destinationOf(folder.path());
    double touched = 0;
    for (const int size : sizes)
        touched += iconBytes(k) + squareBytes(size);
    const WorkCounter work;
    for (auto _ : state) {
        if (!target.write(document, renderDocumentIcon(document), destination).isEmpty()) {
            state.SkipWithError("a PNG file could not be written");
            break;
        }
    }
    work.finish(state, folder.path());
    setFigure(state, "PNG export of 16, 32, 48, 256, k=" + std::to_string(k), touched);
}

// The command line's batch: the bench's 100 pictures through one style (every flag on, k = 1) to
// an icon file and the PNG set 16, 32, 48, 256 each.
struct BatchInput {
    QTemporaryDir folder;
    QStringList pictures =
        BenchDocument::writePictures(folder.path(), BenchDocument::smokeRun() ? 4 : 100);
    QString style = folder.filePath(QStringLiteral("style.glimmer"));

    BatchInput() {
        Document project;
        project.style = BenchDocument::fullStyle();
        project.output.pngSizes = {16, 32, 48, 256};
        commitFile(style, ProjectFile::encode(project));
    }
};

const BatchInput& batchInput() {
    static const BatchInput input;
    return input;
}

// The last time of the convert loop, so the command line's figure is held to half of it.
double convertBatchMs = 0;

bool runBatch(benchmark::State& state, const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (process.waitForFinished(600000) && process.exitCode() == 0)
        return true;
    state.SkipWithError(process.readAllStandardError().left(200).constData());
    return false;
}

// The same job without Glimmerdock: a shell loop of convert, one call a picture composing a plain
// icon (fitted, centred, transparent around) and writing the PNG set and the .ico from it.
void convertBatch(benchmark::State& state) {
    const QString program = convertProgram();
    if (program.isEmpty()) {
        state.SkipWithError("ImageMagick's convert not found");
        return;
    }
    QTemporaryDir out;
    const QString script = QStringLiteral(
        "convert=$1 out=$2; shift 2; for p in \"$@\"; do n=$(basename \"${p%.*}\"); "
        "d=$out/$n; mkdir -p \"$d\"; \"$convert\" \"$p\" -resize 256x256 -background none "
        "-gravity center -extent 256x256 "
        "\\( -clone 0 -resize 16x16 -write \"$d/16x16.png\" \\) "
        "\\( -clone 0 -resize 32x32 -write \"$d/32x32.png\" \\) "
        "\\( -clone 0 -resize 48x48 -write \"$d/48x48.png\" \\) "
        "\\( -clone 0 -write \"$d/256x256.png\" \\) -delete 0 \"$out/$n.ico\" || exit 1; done");
    const QStringList arguments =
        QStringList{QStringLiteral("-c"), script, QStringLiteral("sh"), program, out.path()} +
        batchInput().pictures;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        if (!runBatch(state, QStringLiteral("sh"), arguments))
            return;
        convertBatchMs = double(timer.nsecsElapsed()) / 1e6;
    }
    setFigure(state, "convert loop, 100 pictures to .ico + PNG 16, 32, 48, 256", 0);
}

void cliBatch(benchmark::State& state) {
    QTemporaryDir out;
    const QStringList arguments =
        QStringList{QStringLiteral("render"), QStringLiteral("--style"), batchInput().style} +
        batchInput().pictures +
        QStringList{QStringLiteral("--out"), out.path(), QStringLiteral("--targets"),
                    QStringLiteral("ico,png")};
    for (auto _ : state) {
        if (!runBatch(state, QStringLiteral(GLIMMERDOCK_EXECUTABLE), arguments))
            return;
    }
    setFigure(state, "glimmerdock render --style, 100 pictures to .ico + PNG 16, 32, 48, 256", 0,
              convertBatchMs / 2);
}

// The targets of `keys`, each written in a folder of its own, as `render --all` does.
bool writeTargets(const Document& document, const QStringList& keys, const QString& folder) {
    RenderJob job{document, {}};
    for (const QString& key : keys) {
        const ExportTarget* target = ExportTargets::find(key);
        job.outputs.append({target, target->destinationIn(folder + QLatin1Char('/') + key,
                                                          QStringLiteral("app"))});
    }
    return job.run().isEmpty();
}

double icoAndIcnsMs = 0;

// The full document at k = 3 written as its .ico and .icns, then as every platform's set (--all),
// which may take at most twice as long as those two.
void platformSets(benchmark::State& state) {
    const bool all = state.range(0) != 0;
    const Document document = BenchDocument::document(3, 10);
    const QStringList keys =
        all ? ExportTargets::keys() : QStringList{QStringLiteral("ico"), QStringLiteral("icns")};
    QTemporaryDir folder;
    QElapsedTimer timer;
    qint64 total = 0;
    const WorkCounter work;
    for (auto _ : state) {
        timer.start();
        if (!writeTargets(document, keys, folder.path())) {
            state.SkipWithError("a target could not be written");
            return;
        }
        total += timer.nsecsElapsed();
    }
    work.finish(state, folder.path());
    if (!all && state.iterations() > 0)
        icoAndIcnsMs = double(total) / 1e6 / double(state.iterations());
    setFigure(state, all ? "every target (--all), k = 3" : ".ico + .icns, k = 3", 0,
              all ? 2 * icoAndIcnsMs : 0);
}

// Ten 3000 x 2000 photographs at k = 3, as dropped: original bytes kept, shown at 10 %.
const Document& largeProject() {
    static const Document project = [] {
        Document built;
        built.style = BenchDocument::fullStyle();
        built.style.canvasFactor = 3;
        built.output.pngSizes = {16, 32, 48, 256};
        QTemporaryDir folder;
        const QStringList paths = BenchDocument::writePhotographs(folder.path(), 10, {3000, 2000});
        for (int i = 0; i < paths.size(); ++i) {
            QFile file(paths.at(i));
            file.open(QIODevice::ReadOnly);
            Layer layer;
            layer.filePath = QFileInfo(paths.at(i)).fileName();
            layer.fileBytes = file.readAll();
            layer.sourceImage.loadFromData(layer.fileBytes);
            layer.index = i;
            layer.scale = 10;
            layer.position = QPoint(60 * i, 50 * i);
            built.layers << layer;
        }
        return built;
    }();
    return project;
}

double projectBytes() {
    double bytes = 0;
    for (const Layer& layer : largeProject().layers)
        bytes += layer.fileBytes.size() * 2.4; // read, base64 written (4/3) and flushed
    return bytes;
}

// File > Save with ten large photographs: encoded with their original bytes, written whole.
void saveProject(benchmark::State& state) {
    const Document& project = largeProject();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("large.glimmer"));
    for (auto _ : state) {
        if (!commitFile(path, ProjectFile::encode(project)).isEmpty()) {
            state.SkipWithError("the project could not be written");
            break;
        }
    }
    setFigure(state, "save project, 10 photos 3000x2000", projectBytes());
}

// File > Open of the same project: read, checked and every picture decoded again.
void openProject(benchmark::State& state) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("large.glimmer"));
    commitFile(path, ProjectFile::encode(largeProject()));
    QString error;
    for (auto _ : state) {
        if (!ProjectFile::load(path, &error)) {
            state.SkipWithError("the project could not be read");
            break;
        }
    }
    setFigure(state, "open project, 10 photos 3000x2000",
              projectBytes() + 10 * squareBytes(2000) * 1.5);
}

// One Edit > Undo or Redo step in the real form at factor k with ten pictures: the document
// shown again in every control, the picture list and the canvas, whose paint is made at once.
// Compare with a screen paint.
void undoStep(benchmark::State& state) {
    const int k = int(state.range(0));
    EditedDocument edited;
    EditorForm form(edited);
    form.show();
    form.findChild<QComboBox*>(QStringLiteral("canvasSizeComboBox"))->setCurrentIndex(k - 1);
    auto* canvas = form.findChild<CanvasWidget*>(QStringLiteral("canvas"));
    QTemporaryDir folder;
    BenchDocument::dropPictures(*canvas, form.document(),
                                BenchDocument::writePictures(folder.path(), 10));
    QCoreApplication::processEvents();
    QUndoStack* history = edited.undoStack();
    // The step undone and redone: the badge moved to the next place, whichever it starts in.
    auto* position = form.findChild<QComboBox*>(QStringLiteral("badgePositionComboBox"));
    position->setCurrentIndex((position->currentIndex() + 1) % position->count());
    QCoreApplication::processEvents();
    const int last = history->index();
    for (auto _ : state) {
        history->index() == last ? history->undo() : history->redo();
        canvas->repaint();
    }
    // No more than a screen paint: the canvas is painted once, the list's rows are kept.
    setFigure(state, "undo or redo step, k=" + std::to_string(k) + ", 10 pictures",
              2 * canvasBytes(k) + squareBytes(300), paintTarget(k, 10));
}

// The real form at factor 3 with ten pictures and every style flag, the top picture selected (the
// last drop selected it). A new document starts in the style and the icon sizes stored last, so
// both are stored before the form is made.
struct PreviewForm {
    QTemporaryDir folder;
    EditedDocument edited;
    std::unique_ptr<EditorForm> form;
    CanvasWidget* canvas = nullptr;
    PreviewScheduler* previewer = nullptr;

    explicit PreviewForm(bool sharp) {
        StyleStore::saveStyle(BenchDocument::fullStyle());
        IconSizes::store({{}, sharp});
        form = std::make_unique<EditorForm>(edited);
        form->show();
        canvas = form->findChild<CanvasWidget*>(QStringLiteral("canvas"));
        previewer = form->findChild<PreviewScheduler*>();
        form->findChild<QComboBox*>(QStringLiteral("canvasSizeComboBox"))->setCurrentIndex(2);
        BenchDocument::dropPictures(*canvas, form->document(),
                                    BenchDocument::writePictures(folder.path(), 10));
        QCoreApplication::processEvents();
    }
};

// One drag step of the top picture in the form: a real mouse move, the document shown again by
// the form and the canvas painted, and with the preview on, the preview update it causes as the
// window's thread sees it (what the form's scheduler does when its moment has come: scheduling
// the drawing of the entries, then taking in the entries drawn for the step before and painting
// them). The entries themselves are drawn beside it; "preview entries" below is that work alone.
void paintWithPreview(benchmark::State& state) {
    const bool sharp = state.range(0) != 0;
    const bool withPreview = state.range(1) != 0;
    PreviewForm shown(sharp);
    CanvasWidget* canvas = shown.canvas;
    const QPoint press = BenchDocument::pointOnTopPicture(shown.form->document());
    sendMouse(canvas, QEvent::MouseButtonPress, press, Qt::LeftButton);
    QCoreApplication::processEvents();
    int step = 0;
    for (auto _ : state) {
        // One or two pixels right of where the drag began, never back on it.
        sendMouse(canvas, QEvent::MouseMove, press + QPoint(++step % 2 ? 1 : 2, 0), Qt::LeftButton);
        canvas->repaint();
        if (withPreview) {
            shown.previewer->update();
            QCoreApplication::processEvents();
        }
    }
    sendMouse(canvas, QEvent::MouseButtonRelease, press, Qt::NoButton);
    setFigure(state,
              std::string(withPreview ? "paint + preview update" : "paint, no preview") +
                  ", k=3, 10 pictures, sharp " + (sharp ? "on" : "off"),
              2 * canvasBytes(3) + squareBytes(300), withPreview ? 4 : 0);
}

// Drawing the preview's entries alone, off the window's thread.
void previewDrawing(benchmark::State& state) {
    const bool sharp = state.range(0) != 0;
    PreviewForm shown(sharp);
    const Document document = shown.form->document();
    for (auto _ : state)
        benchmark::DoNotOptimize(previewPictures(document));
    setFigure(state, std::string("preview entries, k=3, sharp ") + (sharp ? "on" : "off"),
              iconBytes(3));
}

// The default entries at k = 1, 2, 3 and the full Windows set with sharp sizes at k = 3.
void entrySets(benchmark::internal::Benchmark* benchmark) {
    benchmark->ArgNames({"k", "set"})->Args({1, 0})->Args({2, 0})->Args({3, 0})->Args({3, 1});
}

BENCHMARK(copy)->Apply(BenchRuns::timed)->ArgName("k")->DenseRange(0, 3);
BENCHMARK(paint)
    ->Apply(BenchRuns::timed)
    ->ArgNames({"k", "pictures"})
    ->ArgsProduct({{1, 2, 3}, {0, 3, 10}});
BENCHMARK(drag)->Apply(BenchRuns::timed)->ArgName("k")->DenseRange(1, 3);
BENCHMARK(renderIcon)
    ->Apply(BenchRuns::timed)
    ->ArgNames({"k", "pictures"})
    ->ArgsProduct({{1, 2, 3}, {0, 10}});
BENCHMARK(pngExport)->Apply(BenchRuns::timed)->ArgName("k")->DenseRange(1, 3);
BENCHMARK(convert)->Apply(BenchRuns::timed)->Apply(entrySets);
BENCHMARK(writeIcoFile)->Apply(BenchRuns::timed)->Apply(entrySets);
BENCHMARK(convertBatch)->Apply(BenchRuns::whole);
BENCHMARK(cliBatch)->Apply(BenchRuns::whole);
BENCHMARK(paintWithPreview)
    ->Apply(BenchRuns::timed)
    ->ArgNames({"sharp", "preview"})
    ->ArgsProduct({{0, 1}, {0, 1}});
BENCHMARK(previewDrawing)->Apply(BenchRuns::timed)->ArgName("sharp")->DenseRange(0, 1);
BENCHMARK(platformSets)->Apply(BenchRuns::timed)->ArgName("all")->DenseRange(0, 1);
BENCHMARK(saveProject)->Apply(BenchRuns::timed);
BENCHMARK(openProject)->Apply(BenchRuns::timed);
BENCHMARK(undoStep)->Apply(BenchRuns::timed)->ArgName("k")->DenseRange(1, 3, 2);

// Each "--peak=<megabytes>:<target megabytes>:<what>", as glimmerdock_peakmem prints it, puts a
// peak measured in a process of its own into the table.
std::vector<TableReporter::Peak> takePeaks(int& argc, char** argv) {
    const char* prefix = "--peak=";
    std::vector<TableReporter::Peak> peaks;
    int kept = 0;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], prefix, std::strlen(prefix)) != 0) {
            argv[kept++] = argv[i];
            continue;
        }
        const QStringList parts = QString(argv[i] + std::strlen(prefix)).split(u':');
        if (parts.size() == 3)
            peaks.push_back(
                {parts.at(2).toStdString(), parts.at(0).toDouble(), parts.at(1).toDouble()});
    }
    argc = kept;
    return peaks;
}

} // namespace

int main(int argc, char** argv) {
    BenchDocument::prepareProcess();
    std::vector<TableReporter::Peak> peaks = takePeaks(argc, argv);
    benchmark::Initialize(&argc, argv);
    QApplication application(argc, argv);
    BenchDocument::initApplication();
    TableReporter reporter(std::move(peaks));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.failures() == 0 ? 0 : 1;
}
