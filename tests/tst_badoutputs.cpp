#include "model/localglobal.h"
#include "output/exportpngdialog.h"
#include "output/icowriter.h"
#include "output/outputflow.h"
#include "output/pngwriter.h"
#include "support/dialogdriver.h"
#include "support/dropsupport.h"
#include "support/filesizelimit.h"
#include "support/shownform.h"
#include "support/testsupport.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <optional>
#include <sys/mount.h>

namespace {

// Where the Go button is sent to write, and what stands in the way.
enum class Trouble { ReadOnlyFolder, MissingFolder, BelowAFile, FullDisk };

// A small tmpfs of the test's own, where the system lets it mount one: a real full disk and a
// real read-only folder, which permissions cannot give a root user.
class ScratchMount {
public:
    explicit ScratchMount(const QString& path) : path(QFile::encodeName(path)) {
        mounted = ::mount("tmpfs", this->path.constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                          "size=256k") == 0;
    }
    ~ScratchMount() {
        if (mounted)
            ::umount2(path.constData(), MNT_DETACH);
    }
    bool isMounted() const { return mounted; }
    bool makeReadOnly() {
        return ::mount(nullptr, path.constData(), nullptr,
                       MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV, nullptr) == 0;
    }

private:
    QByteArray path;
    bool mounted = false;
};

// Fills the disk holding `folder` to the last byte.
void fillDisk(const QString& folder) {
    QFile filler(QDir(folder).filePath(QStringLiteral("filler")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return;
    const QByteArray block(4096, 'f');
    while (filler.write(block) == block.size()) {
    }
    while (filler.write("f", 1) == 1) {
    }
}

QStringList entriesOf(const QString& folder) {
    QStringList entries =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    entries.sort();
    return entries;
}

} // namespace

// Whatever stands between the Go button and the disk, the program goes on, an older file at the
// same path stays as it was, nothing half-written is left behind, and the user is told which
// files could not be written.
class TestBadOutputs : public QObject {
    Q_OBJECT

    // The folder the output goes to, prepared for `trouble`; the old files in it, by name.
    struct Place {
        QString folder;
        QString icoName;
        std::unique_ptr<ScratchMount> mount;
        std::optional<TestSupport::FileSizeLimit> limit;
    };

    QTemporaryDir scratch;

    // Prepares `trouble` below `root`; `oldFiles` are written first where the place can hold them.
    void prepare(Place& place, Trouble trouble, const QString& root, const QStringList& oldFiles) {
        place.folder = root + QStringLiteral("/out");
        place.icoName = QStringLiteral("made.ico");
        QVERIFY(QDir().mkpath(place.folder));
        const bool needsMount = trouble == Trouble::ReadOnlyFolder || trouble == Trouble::FullDisk;
        if (needsMount) {
            place.mount = std::make_unique<ScratchMount>(place.folder);
            if (!place.mount->isMounted())
                qInfo("no tmpfs to be had here: %s", trouble == Trouble::FullDisk
                                                         ? "a file-size limit stands in"
                                                         : "a path below a regular file stands in");
        }
        for (const QString& name : oldFiles)
            QVERIFY(TestSupport::writeFileBytes(QDir(place.folder).filePath(name),
                                                "older " + name.toLatin1()));
        const bool mounted = place.mount && place.mount->isMounted();
        switch (trouble) {
        case Trouble::ReadOnlyFolder:
            if (mounted) {
                QVERIFY(place.mount->makeReadOnly());
                break;
            }
            [[fallthrough]];
        case Trouble::BelowAFile:
            QVERIFY(TestSupport::writeFileBytes(QDir(place.folder).filePath("plain"),
                                                "a file, not a folder"));
            place.icoName = QStringLiteral("plain/made.ico");
            break;
        case Trouble::MissingFolder:
            place.icoName = QStringLiteral("missing/made.ico");
            break;
        case Trouble::FullDisk:
            if (mounted)
                fillDisk(place.folder);
            else
                place.limit.emplace(64);
            break;
        }
    }

    // The form with a picture on its canvas, set to the output at `outputIndex`.
    std::unique_ptr<TestSupport::ShownForm> formWithPicture(int outputIndex) {
        auto shown = std::make_unique<TestSupport::ShownForm>();
        const QString picture = scratch.filePath(QStringLiteral("picture.png"));
        if (!TestSupport::writePictureFile(picture, QSize(120, 90), QColor(30, 160, 90)) ||
            !TestSupport::dropFiles(shown->canvas(), QPointF(150, 150), {picture}))
            qWarning("no picture on the canvas");
        shown->get<QComboBox>("outputComboBox")->setCurrentIndex(outputIndex);
        return shown;
    }

    static QStringList pressGo(TestSupport::ShownForm& shown) {
        return TestSupport::messagesDuring(
            [&shown] { QTest::mouseClick(shown.get<QPushButton>("goButton"), Qt::LeftButton); });
    }

    // The program goes on: the canvas still renders and the form still takes a picture.
    static void checkStillUsable(TestSupport::ShownForm& shown, const QString& picture) {
        QImage icon;
        QCOMPARE(shown.canvas()->renderIcon(icon).size(), QSize(256, 256));
        const qsizetype count = LocalGlobal::LImageData.size();
        QVERIFY(TestSupport::dropFiles(shown.canvas(), QPointF(100, 100), {picture}));
        QCOMPARE(LocalGlobal::LImageData.size(), count + 1);
    }

    static void addTroubleRows() {
        QTest::addColumn<int>("trouble");
        QTest::newRow("read-only folder") << int(Trouble::ReadOnlyFolder);
        QTest::newRow("missing folder") << int(Trouble::MissingFolder);
        QTest::newRow("below a regular file") << int(Trouble::BelowAFile);
        QTest::newRow("full disk") << int(Trouble::FullDisk);
    }

private Q_SLOTS:
    void initTestCase() {
        TestSupport::initTestEnvironment();
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        QVERIFY(scratch.isValid());
    }

    void init() {
        TestSupport::clearSettings();
        LocalGlobal::LImageData.clear();
    }

    void iconFile_data() { addTroubleRows(); }

    void iconFile() {
        QFETCH(int, trouble);
        QTemporaryDir root;
        auto shown = formWithPicture(0);
        Place place;
        prepare(place, Trouble(trouble), root.path(), {QStringLiteral("made.ico")});
        const QString path = QDir(place.folder).filePath(place.icoName);
        const QStringList before = entriesOf(place.folder);
        const QByteArray oldBytes =
            TestSupport::readFileBytes(QDir(place.folder).filePath("made.ico"));

        TestSupport::whenModal<QFileDialog>([&](QFileDialog* dialog) {
            TestSupport::chooseInFileDialog(dialog, place.folder, place.icoName);
        });
        const QStringList messages = pressGo(*shown);
        place.limit.reset();

        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.first().contains(QDir::toNativeSeparators(path)),
                 qPrintable(messages.first()));
        QCOMPARE(entriesOf(place.folder), before);
        QCOMPARE(TestSupport::readFileBytes(QDir(place.folder).filePath("made.ico")), oldBytes);
        if (place.icoName != QLatin1String("made.ico"))
            QVERIFY(!QFileInfo::exists(path));
        place.mount.reset();
        checkStillUsable(*shown, scratch.filePath(QStringLiteral("picture.png")));
    }

    // The save dialog takes no name longer than the file system allows: it stays open for the
    // user to mend the name, and leaving it writes nothing.
    void longNameStaysInTheDialog() {
        QTemporaryDir folder;
        auto shown = formWithPicture(0);
        const QStringList before = entriesOf(folder.path());
        bool refused = false;
        TestSupport::whenModal<QFileDialog>([&](QFileDialog* dialog) {
            dialog->setDirectory(folder.path());
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                ->setText(QString(300, QLatin1Char('n')) + QStringLiteral(".ico"));
            QMetaObject::invokeMethod(dialog, "accept");
            refused = dialog->isVisible();
            dialog->reject();
        });
        QVERIFY(pressGo(*shown).isEmpty());
        QVERIFY(refused);
        QCOMPARE(entriesOf(folder.path()), before);
        QVERIFY(!QSettings(QStringLiteral("Kestrelby"), QStringLiteral("Brasswick"))
                     .contains(QStringLiteral("Path/folderPathIcon")));
    }

    // A name that long can still come from elsewhere (the shell's own dialog): both writers
    // refuse it, leave nothing behind, and the user is told of each file.
    void longNameReachesTheWriters() {
        QTemporaryDir folder;
        auto shown = formWithPicture(0);
        QImage rendering;
        shown->canvas()->renderIcon(rendering);
        const QString icon = folder.filePath(QString(300, QLatin1Char('i')) + ".ico");
        const QString png = folder.filePath(QString(300, QLatin1Char('p')) + ".png");
        OutputFailures failures = writePngImages({{png, rendering}});
        if (const std::optional<OutputFailure> failure = writeIcon(icon, rendering, 1))
            failures.append(*failure);
        const QStringList messages = TestSupport::messagesDuring(
            [&] { OutputFlow::reportFailures(&shown->form, failures); });
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages.first().contains(QDir::toNativeSeparators(icon)));
        QVERIFY(messages.first().contains(QDir::toNativeSeparators(png)));
        QVERIFY(entriesOf(folder.path()).isEmpty());
    }

    // The export folder is one the browser offers, so it exists; it can still refuse files.
    void pngFiles_data() {
        QTest::addColumn<int>("trouble");
        QTest::newRow("read-only folder") << int(Trouble::ReadOnlyFolder);
        QTest::newRow("full disk") << int(Trouble::FullDisk);
    }

    void pngFiles() {
        QFETCH(int, trouble);
        QTemporaryDir root;
        auto shown = formWithPicture(1);
        Place place;
        const QStringList names = {"16x16.png", "32x32.png", "48x48.png", "256x256.png"};
        prepare(place, Trouble(trouble), root.path(), {QStringLiteral("32x32.png")});
        if (Trouble(trouble) == Trouble::ReadOnlyFolder && !place.mount->isMounted())
            QSKIP("No read-only mount can be had here; the icon rows cover paths that fail.");
        const QStringList before = entriesOf(place.folder);
        const QByteArray oldBytes =
            TestSupport::readFileBytes(QDir(place.folder).filePath("32x32.png"));

        TestSupport::whenModal<ExportPNGDialog>([&](ExportPNGDialog* dialog) {
            TestSupport::whenModal<QFileDialog>([&](QFileDialog* browser) {
                TestSupport::chooseInFileDialog(browser, place.folder);
            });
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("exportButton")),
                              Qt::LeftButton);
        });
        const QStringList messages = pressGo(*shown);
        place.limit.reset();

        QCOMPARE(messages.size(), 1);
        for (const QString& name : names) {
            const QString path = QDir::toNativeSeparators(QDir(place.folder).filePath(name));
            QVERIFY2(messages.first().contains(path), qPrintable(messages.first()));
        }
        QCOMPARE(entriesOf(place.folder), before);
        QCOMPARE(TestSupport::readFileBytes(QDir(place.folder).filePath("32x32.png")), oldBytes);
        place.mount.reset();
        checkStillUsable(*shown, scratch.filePath(QStringLiteral("picture.png")));
    }
};

QTEST_MAIN(TestBadOutputs)
#include "tst_badoutputs.moc"
