#include "cli.h"

#include "cli/commandline.h"
#include "cli/renderjob.h"
#include "cli/terminal.h"

#include "document/droppedlayer.h"
#include "document/projectfile.h"
#include "output/exporttargets.h"
#include "picture/picturehelper.h"
#include "picture/pictureintake.h"
#include "picture/picturelimits.h"
#include "trace/printablename.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QLoggingCategory>
#include <QThreadPool>
#include <QtConcurrent>

#include <cstring>

namespace {

// Everything every icon of a request shares: the project's document and choices, with the
// request's badge text.
RenderJob baseJob(const Document& project, const RenderRequest& request) {
    RenderJob job;
    job.document = project;
    if (request.badgeText)
        job.document.style.badgeText = *request.badgeText;
    if (!request.pngSizes.isEmpty())
        job.document.output.pngSizes = request.pngSizes;
    if (request.webBase)
        job.document.output.webBase = *request.webBase;
    return job;
}

// The batch's targets for the picture named `name`, in the targets' own order.
QList<std::pair<const ExportTarget*, ExportTarget::Destination>>
batchOutputs(const RenderRequest& request, const QStringList& kinds, const QString& name) {
    QList<std::pair<const ExportTarget*, ExportTarget::Destination>> outputs;
    for (const ExportTarget* target : ExportTargets::all()) {
        if (kinds.contains(target->key()))
            outputs.append({target, target->batchDestination(request.outFolder, name)});
    }
    return outputs;
}

// One picture of a batch: read as a drop reads it, so a picture the canvas refuses is refused
// here too, then put on the style and written.
OutputFailures renderPicture(const RenderJob& base, const RenderRequest& request,
                             const QStringList& kinds, const QString& path) {
    const PictureIntake::Picture picture = PictureIntake::read(path);
    if (!picture.refusal.isEmpty())
        return {{path, picture.refusal}};
    RenderJob job = base;
    const int k = base.document.style.canvasFactor;
    job.document.layers = {iconFillingLayer(path, picture, k)};
    job.outputs = batchOutputs(request, kinds, QFileInfo(path).completeBaseName());
    return job.run();
}

// Pictures are independent, so they are rendered side by side on every core; what is reported
// still comes in the order the pictures were named. They run on a pool of their own: a job waits
// for its targets, and Qt's own image work (scaling, drawing) needs threads of the global pool.
OutputFailures renderBatch(const Document& project, const RenderRequest& request, QTextStream& err,
                           bool progress) {
    static QThreadPool picturePool;
    const RenderJob base = baseJob(project, request);
    QStringList kinds = request.targetKinds;
    if (kinds.isEmpty())
        kinds = {ExportTargets::of(project.output).key()};
    const QFuture<OutputFailures> results =
        QtConcurrent::mapped(&picturePool, request.pictures, [&](const QString& path) {
            return renderPicture(base, request, kinds, path);
        });
    OutputFailures failures;
    for (int i = 0; i < request.pictures.size(); ++i) {
        failures += results.resultAt(i);
        if (progress)
            err << QStringLiteral("[%1/%2] %3\n")
                       .arg(i + 1)
                       .arg(request.pictures.size())
                       .arg(printableName(request.pictures.at(i)))
                << Qt::flush;
    }
    return failures;
}

OutputFailures renderProject(const Document& project, const RenderRequest& request) {
    RenderJob job = baseJob(project, request);
    const QString name = QFileInfo(request.project).completeBaseName();
    for (const ExportTarget* target : ExportTargets::all()) {
        const QString key = target->key();
        if (request.targets.contains(key))
            job.outputs.append({target, {request.targets.value(key), name}});
        else if (!request.allFolder.isEmpty())
            job.outputs.append(
                {target, target->destinationIn(QDir(request.allFolder).filePath(key), name)});
    }
    return job.run();
}

// A picture given where a project is expected is the icon of a project of its own: the start
// style (no container, no badge) with the picture filling the icon.
std::optional<Document> pictureProject(const QString& path, QString* error) {
    const PictureIntake::Picture picture = PictureIntake::read(path);
    if (!picture.refusal.isEmpty()) {
        *error = picture.refusal;
        return std::nullopt;
    }
    Document document;
    document.layers = {iconFillingLayer(path, picture, document.style.canvasFactor)};
    return document;
}

std::optional<Document> loadProject(const QString& path, QString* error) {
    const bool picture = QFileInfo(path).suffix().compare(QLatin1String(ProjectFile::suffix),
                                                          Qt::CaseInsensitive) != 0 &&
                         PictureIntake::isPictureFile(path);
    return picture ? pictureProject(path, error) : ProjectFile::load(path, error);
}

int render(const RenderRequest& request, QTextStream& err, bool progress) {
    // The window's own limit, so a picture it takes is taken here too.
    QImageReader::setAllocationLimit(PictureLimits::allocationLimitMB);
    QString error;
    std::optional<Document> project = loadProject(request.project, &error);
    if (!project) {
        err << QStringLiteral("glimmerdock: %1: %2\n").arg(printableName(request.project), error);
        return 1;
    }
    if (const QString told = ExportTargets::chooseKnownTarget(project->output); !told.isEmpty())
        err << QStringLiteral("glimmerdock: %1: %2\n").arg(request.project, told);
    const OutputFailures failures = request.pictures.isEmpty()
                                        ? renderProject(*project, request)
                                        : renderBatch(*project, request, err, progress);
    for (const OutputFailure& failure : failures) {
        err << QStringLiteral("glimmerdock: %1: %2\n")
                   .arg(printableName(QDir::toNativeSeparators(failure.fileName)), failure.reason);
    }
    return failures.isEmpty() ? 0 : 1;
}

QtMessageHandler qtHandler = nullptr;

// Qt's own notes (no runtime folder on a build machine, a font fallback) are no failure of a
// render, and a script reads standard error for the one line per failure; its errors still pass.
void quietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        qtHandler(type, context, message);
}

} // namespace

namespace Cli {

bool isCommandLine(int argc, char** argv) {
    if (argc < 2)
        return false;
    for (const char* command : {"render", "--help", "-h", "--version"}) {
        if (std::strcmp(argv[1], command) == 0)
            return true;
    }
    return false;
}

int main(int argc, char** argv) {
    // Rendering needs fonts but never a screen, and a build machine has none.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The window's trace lines would bury the one line per failure a script reads.
    QLoggingCategory::setFilterRules(QStringLiteral("glimmerdock.*.debug=false"));
    qtHandler = qInstallMessageHandler(quietMessages);
    // Taken before the application object strips what it reads as its own, "--style" among them.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    QGuiApplication application(argc, argv);
    // Pictures are decoded and SVG drawn by helpers of this same program.
    PictureHelper::useProgram(QCoreApplication::applicationFilePath());
    QTextStream out(stdout);
    QTextStream err(stderr);
    return run(arguments, out, err, isTerminal(stderr));
}

int run(const QStringList& arguments, QTextStream& out, QTextStream& err, bool progress) {
    const CommandLine::Parsed parsed = CommandLine::parse(arguments);
    switch (parsed.action) {
    case CommandLine::Action::Help:
        out << CommandLine::usage();
        return 0;
    case CommandLine::Action::Version:
        out << QStringLiteral("glimmerdock %1\n").arg(QStringLiteral(GLIMMERDOCK_VERSION));
        return 0;
    case CommandLine::Action::UsageError:
        err << QStringLiteral("glimmerdock: %1\nTry 'glimmerdock --help'.\n").arg(parsed.error);
        return 2;
    case CommandLine::Action::Render:
        break;
    }
    return render(parsed.request, err, progress);
}

} // namespace Cli
