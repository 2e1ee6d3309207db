#include "commandline.h"

#include "document/document.h"
#include "document/iconstyle.h"
#include "output/exporttargets.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QSet>

namespace {

constexpr int largestPngSize = 1024;

QCommandLineOption valueOption(const char* name, const char* valueName) {
    return QCommandLineOption(QString::fromLatin1(name), QString(), QString::fromLatin1(valueName));
}

const QList<QCommandLineOption>& options() {
    static const QList<QCommandLineOption> list =
        [] {
            QList<QCommandLineOption> all;
            for (const QString& key : ExportTargets::keys())
                all << QCommandLineOption(key, QString(), QStringLiteral("path"));
            return all;
        }() +
        QList<QCommandLineOption>{
            valueOption("sizes", "list"),
            valueOption("style", "project"),
            valueOption("out", "folder"),
            valueOption("targets", "list"),
            valueOption("all", "folder"),
            valueOption("badge-text", "text"),
            valueOption("web-base", "path"),
            QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}),
            QCommandLineOption(QStringLiteral("version"))};
    return list;
}

CommandLine::Parsed usageError(const QString& error) {
    return {CommandLine::Action::UsageError, {}, error};
}

// The sizes in `text`, comma-separated, each once in the order given; nothing when one is not
// a whole number the PNG export takes or there are more than a project may hold.
std::optional<QList<int>> parseSizes(const QString& text) {
    QList<int> sizes;
    for (const QString& part : text.split(QLatin1Char(','))) {
        bool ok = false;
        const int size = part.trimmed().toInt(&ok, 10);
        if (!ok || size < 1 || size > largestPngSize)
            return std::nullopt;
        if (!sizes.contains(size))
            sizes.append(size);
    }
    if (sizes.size() > OutputChoice::maxSizes)
        return std::nullopt;
    return sizes;
}

// The first picture whose icons would be named like an earlier one's, or nothing.
std::optional<QString> repeatedName(const QStringList& pictures) {
    QSet<QString> names;
    for (const QString& picture : pictures) {
        const QString name = QFileInfo(picture).completeBaseName();
        if (names.contains(name))
            return picture;
        names.insert(name);
    }
    return std::nullopt;
}

// "--ico, --png, --icns or --hicolor": every target's option.
QString targetOptions() {
    QStringList options;
    for (const QString& key : ExportTargets::keys())
        options << QStringLiteral("--") + key;
    const QString last = options.takeLast();
    return options.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

// The checks of a single project's command; empty when it is whole.
QString projectError(const QCommandLineParser& parser, const RenderRequest& request) {
    if (parser.positionalArguments().size() != 1)
        return QStringLiteral("render takes one project (or --style with pictures)");
    if (parser.isSet(QStringLiteral("out")) || parser.isSet(QStringLiteral("targets")))
        return QStringLiteral("--out and --targets go with --style");
    if (request.targets.isEmpty() && request.allFolder.isEmpty())
        return QStringLiteral("nothing to write: give %1 or --all").arg(targetOptions());
    if (!request.pngSizes.isEmpty() && !request.targets.contains(QStringLiteral("png")) &&
        request.allFolder.isEmpty())
        return QStringLiteral("--sizes goes with --png");
    return {};
}

// The checks of a batch command; empty when it is whole.
QString batchError(const QCommandLineParser& parser, const RenderRequest& request) {
    if (request.pictures.isEmpty())
        return QStringLiteral("--style needs at least one picture");
    if (!request.targets.isEmpty() || !request.allFolder.isEmpty())
        return QStringLiteral("with --style, name the folder with --out and the files with "
                              "--targets");
    if (request.outFolder.isEmpty())
        return QStringLiteral("--style needs --out");
    for (const QString& kind : request.targetKinds) {
        if (!ExportTargets::find(kind))
            return QStringLiteral("unknown target '%1' (%2)")
                .arg(kind, ExportTargets::keys().join(QStringLiteral(", ")));
    }
    if (parser.isSet(QStringLiteral("targets")) && request.targetKinds.isEmpty())
        return QStringLiteral("--targets names none");
    if (const auto picture = repeatedName(request.pictures))
        return QStringLiteral("%1: another picture has the same name").arg(*picture);
    return {};
}

CommandLine::Parsed parseRender(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.addOptions(options());
    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(QStringLiteral("help")))
        return {CommandLine::Action::Help, {}, {}};
    RenderRequest request;
    for (const QString& key : ExportTargets::keys()) {
        if (!parser.value(key).isEmpty())
            request.targets.insert(key, parser.value(key));
    }
    if (parser.isSet(QStringLiteral("sizes"))) {
        const auto sizes = parseSizes(parser.value(QStringLiteral("sizes")));
        if (!sizes)
            return usageError(QStringLiteral("--sizes takes up to %1 whole numbers from 1 to "
                                             "1024, comma-separated")
                                  .arg(OutputChoice::maxSizes));
        request.pngSizes = *sizes;
    }
    if (parser.isSet(QStringLiteral("badge-text"))) {
        request.badgeText = parser.value(QStringLiteral("badge-text"));
        if (request.badgeText->size() > badgeTextMaxLength)
            return usageError(QStringLiteral("--badge-text is longer than %1 characters")
                                  .arg(badgeTextMaxLength));
    }
    if (parser.isSet(QStringLiteral("web-base"))) {
        request.webBase = parser.value(QStringLiteral("web-base"));
        if (!OutputChoice::isWebBase(*request.webBase))
            return usageError(QStringLiteral("--web-base takes a path or address of up to 255 "
                                             "characters to start links with, without spaces, "
                                             "quotes or < > \\ `"));
    }
    request.allFolder = parser.value(QStringLiteral("all"));
    QString error;
    if (parser.isSet(QStringLiteral("style"))) {
        request.project = parser.value(QStringLiteral("style"));
        request.pictures = parser.positionalArguments();
        request.outFolder = parser.value(QStringLiteral("out"));
        request.targetKinds =
            parser.value(QStringLiteral("targets")).split(QLatin1Char(','), Qt::SkipEmptyParts);
        if (request.targetKinds.removeAll(QStringLiteral("all")) > 0)
            request.targetKinds = ExportTargets::keys();
        error = batchError(parser, request);
    } else {
        request.project = parser.positionalArguments().value(0);
        error = projectError(parser, request);
    }
    if (!error.isEmpty())
        return usageError(error);
    return {CommandLine::Action::Render, request, {}};
}

} // namespace

namespace CommandLine {

Parsed parse(const QStringList& arguments) {
    const QString command = arguments.value(1);
    if (command == QLatin1String("--help") || command == QLatin1String("-h"))
        return {Action::Help, {}, {}};
    if (command == QLatin1String("--version"))
        return {Action::Version, {}, {}};
    if (command != QLatin1String("render"))
        return usageError(QStringLiteral("unknown command '%1'").arg(command));
    // The parser takes the first argument for the program's name.
    return parseRender(arguments.mid(1));
}

QString usage() {
    return QStringLiteral(
        "Usage: glimmerdock [PROJECT.glimmer]      open the window\n"
        "       glimmerdock render PROJECT.glimmer TARGET... [--sizes LIST] [--badge-text TEXT]\n"
        "                          [--web-base PATH]\n"
        "       glimmerdock render --style PROJECT.glimmer PICTURE... --out FOLDER\n"
        "                          [--targets LIST] [--sizes LIST] [--badge-text TEXT]\n"
        "                          [--web-base PATH]\n"
        "       glimmerdock --help | --version\n"
        "\n"
        "Renders a saved project's icon without a window or a display, byte for byte as the\n"
        "window writes it. A picture given instead of a project is rendered alone: no container,\n"
        "no badge, the picture filling the icon.\n"
        "\n"
        "Targets (several in one call):\n"
        "  --ico FILE          Windows icon with the project's icon sizes\n"
        "  --png FOLDER        PNG set named 16x16.png and so on\n"
        "  --sizes LIST        sizes of the PNG set, e.g. 16,32,48,256 (1 to 1024;\n"
        "                      default: the project's)\n"
        "  --icns FILE         macOS icon, 16 to 512 and their @2x twins\n"
        "  --hicolor FOLDER    Linux icon theme FOLDER/hicolor/<n>x<n>/apps/<name>.png, 16 to\n"
        "                      512; <name> is the project's file name without its suffix\n"
        "  --android FOLDER    Android launcher icons: FOLDER/res/mipmap-*/ (legacy, round,\n"
        "                      adaptive and themed) and the Play Store icon\n"
        "  --apple FOLDER      Xcode asset catalog FOLDER/AppIcon.appiconset: the iOS icon with\n"
        "                      its dark and tinted appearances, and the macOS sizes\n"
        "  --apple-layered FOLDER\n"
        "                      Apple's layered icon FOLDER/NAME.icon (iOS 26, macOS 26): the\n"
        "                      container's fill, the pictures and the badge as layers\n"
        "  --web FOLDER        favicon.ico, PNG icons, site.webmanifest and head.html to paste\n"
        "  --web-base PATH     where the web icons are served from, as head.html links them,\n"
        "                      e.g. /icons/ or https://example.com/ (default: the project's, /)\n"
        "  --msix FOLDER       Windows app package logos at every scale and target size\n"
        "  --all FOLDER        every target above, each in FOLDER/<target> (e.g. FOLDER/ico)\n"
        "\n"
        "Batch with a style template:\n"
        "  --style PROJECT     put each PICTURE, filling the icon, on PROJECT's container\n"
        "                      and badge (the project's own pictures are left out)\n"
        "  --out FOLDER        each picture's files, named after it: NAME.ico, NAME/16x16.png,\n"
        "                      NAME.icns, hicolor/<n>x<n>/apps/NAME.png, and android/NAME/,\n"
        "                      apple/NAME/, apple-layered/NAME/, web/NAME/ and msix/NAME/\n"
        "  --targets LIST      ico, png, icns, hicolor, android, apple, apple-layered, web,\n"
        "                      msix or all, comma-separated (default: the output chosen in\n"
        "                      the project)\n"
        "\n"
        "  --badge-text TEXT   the badge's text instead of the project's\n"
        "  -h, --help          this text\n"
        "  --version           the version\n"
        "\n"
        "Exit status: 0 all written, 1 a file could not be read or written (one line each on\n"
        "standard error; the others are still written), 2 a usage error.\n");
}

} // namespace CommandLine
