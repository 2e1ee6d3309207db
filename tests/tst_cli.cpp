// The command line as a build script runs it: the real executable in a process of its own without
// a display, its files read back by other readers and compared with what the window writes.
#include "document/droppedlayer.h"
#include "document/editeddocument.h"
#include "document/projectfile.h"
#include "form/editorform.h"
#include "form/exportquestions.h"
#include "output/exporttargets.h"
#include "output/iconsizes.h"
#include "output/iconthemewriter.h"
#include "output/icowriter.h"
#include "output/pngwriter.h"
#include "picture/pictureintake.h"
#include "render/iconrenderer.h"
#include "support/testsupport.h"

#include <Magick++.h>
#include <QtWidgets>

using namespace TestSupport;

namespace {

// Premultiplied, so pixels that show nothing compare equal whatever colour they carry.
QImage readByImageMagick(const QByteArray& bytes) {
    Magick::Image image(Magick::Blob(bytes.constData(), size_t(bytes.size())));
    Magick::Blob blob;
    image.depth(8);
    image.magick("RGBA");
    image.write(&blob);
    return QImage(static_cast<const uchar*>(blob.data()), int(image.columns()), int(image.rows()),
                  QImage::Format_RGBA8888)
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage expected(const QImage& rendering, int size) {
    return rendering.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QByteArray icoOf(const Document& document, const IconSizeChoice& choice) {
    const int k = document.style.canvasFactor;
    const QImage rendering = IconRenderer(k).renderIcon(document.style, document.layers);
    const QList<int> sizes = IconSizes::entrySizes(choice, rendering.width());
    return encodeIcoEntries(
        iconEntryImages(rendering, sizes, choice.sharp, document.style, document.layers, k));
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    Document saved;

    QString path(const QString& name) const { return dir.filePath(name); }

    // Exit code of glimmerdock run without a display and with an empty home of its own; 99 when
    // it left settings there.
    int run(const QStringList& arguments, QString* out = nullptr, QString* err = nullptr) {
        QTemporaryDir home;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(GLIMMERDOCK_EXECUTABLE), arguments);
        process.waitForFinished(300000);
        if (out)
            *out = QString::fromUtf8(process.readAllStandardOutput());
        if (err)
            *err = QString::fromUtf8(process.readAllStandardError());
        if (QFileInfo::exists(home.filePath(QStringLiteral("Kestrelby"))))
            return 99;
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    // The window's document once the saved project is opened in it.
    Document openedInWindow() {
        EditedDocument edited;
        EditorForm form(edited);
        form.openDocument(saved);
        return form.document();
    }

private slots:
    void initTestCase() {
        initTestEnvironment();
        QVERIFY(writePicture(path("a.png"), {400, 260}, QColor(200, 40, 40, 170)));
        QVERIFY(writePicture(path("b.jpg"), {90, 120}, Qt::darkGreen));
        QVERIFY(writeFileBytes(
            path("c.svg"),
            "<svg xmlns=\"http://www.w3.org/2000/svg\" "
            "width=\"200\" height=\"200\" viewBox=\"0 0 8 8\"><path d=\"M0 0 8 8H0z\" "
            "fill=\"teal\"/></svg>"));
        QVERIFY(writeFileBytes(path("bad.png"), "not a picture"));
        QVERIFY(writeFileBytes(path("bad.glimmer"), "{\"format\": 3"));
        QVERIFY(writeFileBytes(path("keep.ico"), "kept"));
        IconStyle& style = saved.style;
        style.useBackground = style.useBorder = style.useGlossy = style.clipImage = true;
        style.useBadge = true;
        style.canvasFactor = 2;
        style.badgeTextFont.setPixelSize(22);
        style.badgeTextFont.setWeight(QFont::Bold);
        const PictureIntake::Picture picture = PictureIntake::read(path("a.png"));
        saved.layers = {droppedLayer(path("a.png"), picture, QPoint(110, 130), 2, 0)};
        saved.output.iconSizes = {16, 24, 32, 48, 256};
        saved.output.sharpSizes = true;
        saved.output.pngSizes = {16, 48};
        QVERIFY(writeFileBytes(path("p.glimmer"), ProjectFile::encode(saved)));
    }

    void everyTargetAsTheWindowWritesIt() {
        const QString out = path("out");
        QString err;
        const int code =
            run({"render", path("p.glimmer"), "--ico", out + "/p.ico", "--png", out + "/png",
                 "--sizes", "16,32,256", "--icns", out + "/p.icns", "--hicolor", out},
                nullptr, &err);
        QVERIFY2(code == 0, qPrintable(err));
        const Document document = openedInWindow();
        QCOMPARE(readFileBytes(out + "/p.ico"), icoOf(document, {saved.output.iconSizes, true}));
        const QImage rendering = IconRenderer(2).renderIcon(document.style, document.layers);
        QTemporaryDir window;
        PngEncodings encodings;
        QVERIFY(writePngImages(
                    pendingPngs(window.path(), {16, 32, 256}, SizedIcon(document, rendering)),
                    encodings)
                    .isEmpty());
        for (int size : {16, 32, 256}) {
            const QString name = QStringLiteral("/%1x%1.png").arg(size);
            QCOMPARE(readFileBytes(out + "/png" + name), readFileBytes(window.path() + name));
            QCOMPARE(readByImageMagick(readFileBytes(out + "/png" + name)),
                     expected(rendering, size));
        }
        for (int size : IconThemeWriter::sizes()) {
            const QString file = IconThemeWriter::fileName(out, QStringLiteral("p"), size);
            QCOMPARE(readByImageMagick(readFileBytes(file)), expected(rendering, size));
        }
        // Debian's icnsutils reads the classic slots and the PNG ones it knows (256 to 1024)...
        QCOMPARE(QProcess::execute("icns2png", {"-x", "-o", window.path(), out + "/p.icns"}), 0);
        QCOMPARE(QDir(window.path(), "p_*.png").count(), 5u);
        for (const QFileInfo& file : QDir(window.path(), "p_*.png").entryInfoList()) {
            const QImage image = readByImageMagick(readFileBytes(file.filePath()));
            QCOMPARE(image, expected(rendering, image.width()));
        }
        // ...and ImageMagick every PNG slot, found through the elements' own lengths.
        const QByteArray icns = readFileBytes(out + "/p.icns");
        QCOMPARE(qFromBigEndian<quint32>(icns.constData() + 4), quint32(icns.size()));
        QStringList types;
        QList<int> pngSizes;
        for (qsizetype at = 8; at < icns.size();
             at += qFromBigEndian<quint32>(icns.data() + at + 4)) {
            types << QString::fromLatin1(icns.mid(at, 4));
            if (!icns.mid(at + 8, 4).endsWith("PNG"))
                continue;
            const quint32 length = qFromBigEndian<quint32>(icns.constData() + at + 4);
            const QImage image = readByImageMagick(icns.mid(at + 8, length - 8));
            QCOMPARE(image, expected(rendering, image.width()));
            pngSizes << image.width();
        }
        QCOMPARE(types.join(' '), "is32 s8mk il32 l8mk ic11 ic12 ic07 ic13 ic08 ic14 ic09 ic10");
        QCOMPARE(pngSizes, QList<int>({32, 64, 128, 256, 256, 512, 512, 1024}));
    }

    void batchWritesEveryGoodPicture() {
        const QString out = path("batch");
        QString err;
        QCOMPARE(run({"render", "--style", path("p.glimmer"), path("a.png"), path("bad.png"),
                      path("b.jpg"), path("c.svg"), "--out", out, "--targets", "ico,png",
                      "--badge-text", "BETA"},
                     nullptr, &err),
                 1);
        // One line for the picture not read, and no progress: standard error is no terminal.
        QVERIFY2(err.contains(path("bad.png") + ": ") && err.count("glimmerdock: ") == 1 &&
                     !err.contains("[1/4]"),
                 qPrintable(err));
        QCOMPARE(QDir(out).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList({"a", "a.ico", "b", "b.ico", "c", "c.ico"}));
        QCOMPARE(QDir(out + "/b").entryList(QDir::Files), QStringList({"16x16.png", "48x48.png"}));
        Document document = openedInWindow();
        document.style.badgeText = QStringLiteral("BETA");
        // Each picture fills the icon; an SVG's small entries are drawn from the SVG, as the
        // window draws them.
        for (const QString name : {"a.png", "c.svg"}) {
            const PictureIntake::Picture picture = PictureIntake::read(path(name));
            document.layers = {iconFillingLayer(path(name), picture, 2)};
            QCOMPARE(readFileBytes(out + "/" + QFileInfo(name).baseName() + ".ico"),
                     icoOf(document, {saved.output.iconSizes, true}));
        }
    }

    // A picture where a project goes is an icon of its own: no container, no badge, the picture
    // filling the icon square whole: a 400 x 260 picture spans the width, rows 45 to 210.
    void pictureInsteadOfProject() {
        const QString out = path("solo");
        QString err;
        QVERIFY2(
            run({"render", path("a.png"), "--png", out, "--sizes", "256", "--ico", out + "/c.ico"},
                nullptr, &err) == 0,
            qPrintable(err));
        const QImage icon(out + "/256x256.png");
        QCOMPARE(icon.size(), QSize(256, 256));
        for (int y : {0, 44, 211, 255})
            QVERIFY2(qAlpha(icon.pixel(128, y)) == 0, qPrintable(QString::number(y)));
        for (const QPoint& at : {QPoint(0, 46), QPoint(255, 128), QPoint(128, 209)})
            QVERIFY(qAlpha(icon.pixel(at)) > 0);
        QCOMPARE(QImageReader(out + "/c.ico").imageCount(), 4);
        QCOMPARE(run({"render", path("bad.png"), "--ico", out + "/bad.ico"}, nullptr, &err), 1);
        QVERIFY2(err.contains("bad.png: cannot be read"), qPrintable(err));
    }

    // Pictures that take the SVG library down or lack pixels they claim: alone each is refused
    // with its reason and exit 1; in a batch the others are still written.
    // A name with a terminal's escape sequence is printed escaped.
    void hostilePictures() {
        const QByteArray head =
            "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\">";
        const QList<std::pair<QString, QByteArray>> files{
            {"kills\x1b[2J.svg", head + "<text y=\"30\" style=\"font:1e9px serif\">W</text></svg>"},
            {"short.bmp", readFileBytes(QFINDTESTDATA("../fuzz/corpus/pictureintake/"
                                                      "finding-bmp-ends-early.bin"))}};
        const QStringList reasons{"kills\\x1b[2J.svg: the SVG drawing library failed on it",
                                  "short.bmp: the file ends early"};
        QStringList arguments{"render", "--style", path("p.glimmer"), path("a.png")};
        for (qsizetype i = 0; i < files.size(); ++i) {
            QVERIFY(writeFileBytes(path(files[i].first), files[i].second));
            QString err;
            QCOMPARE(
                run({"render", path(files[i].first), "--ico", path("hostile.ico")}, nullptr, &err),
                1);
            QVERIFY2(err.contains(reasons[i]) && !err.contains('\x1b'), qPrintable(err));
            arguments << path(files[i].first);
        }
        QString err;
        QCOMPARE(run(arguments << "--out" << path("hostile") << "--targets"
                               << "ico",
                     nullptr, &err),
                 1);
        for (const QString& reason : reasons)
            QVERIFY2(err.contains(reason), qPrintable(err));
        QCOMPARE(QDir(path("hostile")).entryList(QDir::Files), QStringList({"a.ico"}));
        QVERIFY(!QFileInfo::exists(path("hostile.ico")));
    }

    // Real icons of Debian's Adwaita theme, turned 45 degrees, that the SVG library cannot draw at
    // sharp sizes of 23, 46 and 51 pixels: the file is written with the layer crossed out where
    // it failed, the layer named and the exit status 1.
    void turnedAtSharpSizes() {
        const QString theme = QStringLiteral("/usr/share/icons/Adwaita/scalable/legacy/");
        for (const char* name : {"web-browser-symbolic.svg", "preferences-color-symbolic.svg"}) {
            Document project;
            Layer layer;
            layer.filePath = QString::fromLatin1(name);
            layer.fileBytes = readFileBytes(theme + layer.filePath);
            QVERIFY2(!layer.fileBytes.isEmpty(), name);
            layer.position = QPoint(40, 40);
            layer.rotation = 45;
            project.layers = {layer};
            project.output.iconSizes = {23, 46, 51};
            project.output.sharpSizes = true;
            QVERIFY(writeFileBytes(path("turned.glimmer"), ProjectFile::encode(project)));
            QString err;
            QCOMPARE(
                run({"render", path("turned.glimmer"), "--ico", path("turned.ico")}, nullptr, &err),
                1);
            QVERIFY2(err.contains(layer.filePath + ": the SVG drawing library failed on it"),
                     qPrintable(err));
            QCOMPARE(QImageReader(path("turned.ico")).imageCount(), 3);
        }
    }

    void commands_data() {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("code");
        // In standard output for code 0, otherwise in standard error.
        QTest::addColumn<QString>("message");
        // Lines on standard error that begin "glimmerdock: ": one per failed target.
        QTest::addColumn<int>("lines");
        const auto row = [](const char* name, const char* arguments, int code, const char* message,
                            int lines = 1) {
            QTest::newRow(name) << arguments << code << message << (code ? lines : 0);
        };
        row("help", "--help", 0, "Usage: glimmerdock");
        row("render help", "render --help", 0, "--hicolor FOLDER");
        row("version", "--version", 0, "glimmerdock " GLIMMERDOCK_VERSION);
        row("unknown option", "render %P --ico %D/x.ico --fast", 2, "'fast'");
        row("no target", "render %P", 2, "nothing to write");
        row("two projects", "render %P %P --ico %D/x.ico", 2, "one project");
        row("size too large", "render %P --png %D/p --sizes 16,2000", 2, "1024");
        row("size not a number", "render %P --png %D/p --sizes 16,x", 2, "1024");
        static const QByteArray manySizes = [] {
            QByteArrayList sizes;
            for (int size = 1; size <= 65; ++size)
                sizes << QByteArray::number(size);
            return "render %P --png %D/p --sizes " + sizes.join(',');
        }();
        row("too many sizes", manySizes.constData(), 2, "up to 64");
        row("web base with a bracket", "render %P --web %D/w --web-base /a<b", 2, "--web-base");
        row("batch without --out", "render --style %P %D/a.png", 2, "--out");
        row("--out without --style", "render %P --ico %D/x.ico --out %D/o", 2, "go with --style");
        row("unknown target", "render --style %P %D/a.png --out %D/o --targets ico,svg", 2,
            "'svg'");
        row("two pictures, one name", "render --style %P %D/a.png %D/o/a.png --out %D/o", 2,
            "same name");
        row("missing project", "render %D/none.glimmer --ico %D/keep.ico", 1, "none.glimmer: ");
        row("missing picture", "render %D/gone.png --ico %D/keep.ico", 1,
            "gone.png: the file does not exist");
        row("bad project", "render %D/bad.glimmer --ico %D/keep.ico", 1, "bad.glimmer: ");
        row("unwritable icon", "render %P --ico %D/keep.ico/x.ico", 1, "x.ico: ");
        row("unwritable folder", "render %P --png %D/keep.ico/png", 1, "png: ");
        row("every target, no folder can be made", "render %P --all %D/keep.ico/all", 1,
            "/all/hicolor/hicolor: cannot create the folder", int(ExportTargets::all().size()));
    }

    void commands() {
        QFETCH(QString, arguments);
        QFETCH(int, code);
        QFETCH(QString, message);
        QFETCH(int, lines);
        const QStringList before = QDir(dir.path()).entryList();
        arguments.replace("%P", path("p.glimmer")).replace("%D", dir.path());
        QString out, err;
        QCOMPARE(run(arguments.split(' '), &out, &err), code);
        QVERIFY2((code == 0 ? out : err).contains(message), qPrintable(out + err));
        QVERIFY(code == 0 || out.isEmpty());
        QCOMPARE(
            err.count(QRegularExpression("^glimmerdock: ", QRegularExpression::MultilineOption)),
            lines);
        // Nothing written, nothing written over, nothing left half-written.
        QCOMPARE(QDir(dir.path()).entryList(), before);
        QCOMPARE(readFileBytes(path("keep.ico")), QByteArray("kept"));
    }
};

QTEST_MAIN(TestCli)
#include "tst_cli.moc"
