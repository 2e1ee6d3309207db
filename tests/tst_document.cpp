// The document as the user owns it in the main window: saved, reopened, dropped and listed as a
// project; undone and redone with the keyboard; guarded against being thrown away unsaved.
#include "app/crashrecovery.h"
#include "app/mainwindow.h"
#include "app/recentprojects.h"
#include "canvas/canvaswidget.h"
#include "document/editeddocument.h"
#include "form/editorform.h"
#include "form/iconsizesdialog.h"
#include "output/iconsizes.h"
#include "render/iconrenderer.h"
#include "support/testsupport.h"

#include <QtWidgets>

using namespace TestSupport;

class TestDocument : public QObject {
    Q_OBJECT

    QTemporaryDir folder;

    QString file(const char* name) const { return folder.filePath(name); }

    static bool shown(MainWindow& window) {
        window.show();
        return QTest::qWaitForWindowExposed(&window);
    }

    // Answers the next unsaved-changes question with `button` by its key (Alt+S, Alt+D, Escape);
    // the caller then asks it.
    static void answer(QMessageBox::StandardButton button) {
        whenModal<QMessageBox>([button](QMessageBox* box) {
            // Its keys are the active window's shortcuts: active at once, not when the system
            // gets round to it.
            QApplication::setActiveWindow(box);
            if (button == QMessageBox::Cancel)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                QTest::keyClick(box, button == QMessageBox::Save ? Qt::Key_S : Qt::Key_D,
                                Qt::AltModifier);
        });
    }

    static QImage icon(MainWindow& window) { return renderDocumentIcon(documentOf(&window)); }

private Q_SLOTS:
    void initTestCase() {
        initTestEnvironment();
        QVERIFY(writePicture(file("p.png"), {90, 60}, QColor(10, 200, 90, 160)));
        QVERIFY(writePicture(file("q.jpg"), {400, 300}, Qt::darkMagenta));
    }

    // Changes, undone with the keyboard back to the start and redone; Delete is a step of its own
    // however long after the last one it comes, and after an undo the history goes on recording;
    // the title's marker follows the saved state; Cancel keeps the window and the document, Save
    // writes the project that a new window opens again as it was, from the File menu's recent
    // list or a drop on the canvas, nothing selected until a row is clicked.
    void ownTheDocument() {
        const QString project = file("icon.glimmer");
        QImage saved;
        {
            MainWindow window;
            QVERIFY(shown(window));
            QCOMPARE(window.windowTitle(), QStringLiteral("Untitled[*] - Glimmerdock"));
            auto* canvas = child<QWidget>(&window, "canvas");
            // The keys go to the canvas from the start.
            QTRY_COMPARE(QApplication::focusWidget(), canvas);
            QVERIFY(dropFiles(canvas, {120, 120}, {file("p.png"), file("q.jpg")}));
            QTest::qWait(1);
            QTest::mousePress(canvas, Qt::LeftButton, {}, {150, 150});
            QTest::mouseMove(canvas, {170, 140});
            QTest::mouseRelease(canvas, Qt::LeftButton, {}, {170, 140});
            for (int notch = 0; notch < 3; ++notch) {
                wheelOver(canvas, {0, -120});
                QTest::qWait(1);
            }
            QVERIFY(window.isWindowModified());
            const QImage changed = icon(window);
            QTest::keySequence(&window, QKeySequence::Delete);
            QTest::qWait(1);
            QCOMPARE(documentOf(&window).layers.size(), 1);
            QTest::keySequence(&window, QKeySequence::Undo);
            QCOMPARE(icon(window), changed);
            QTest::mouseClick(canvas, Qt::LeftButton, {}, {150, 150});
            QTest::keyClick(canvas, Qt::Key_Right, Qt::ShiftModifier);
            QTest::qWait(1);
            QVERIFY(icon(window) != changed);
            for (int step = 0; step < 4; ++step)
                QTest::keySequence(&window, QKeySequence::Undo);
            QVERIFY(documentOf(&window).layers.isEmpty());
            QVERIFY(!window.isWindowModified());
            for (int step = 0; step < 3; ++step)
                QTest::keySequence(&window, QKeySequence::Redo);
            QCOMPARE(icon(window), changed);

            answer(QMessageBox::Cancel);
            QVERIFY(!window.close());
            QCOMPARE(icon(window), changed);
            answer(QMessageBox::Save);
            whenModal<QFileDialog>(
                [&](QFileDialog* d) { chooseInFileDialog(d, folder.path(), "icon"); });
            QVERIFY(window.close());
            QCOMPARE(window.windowTitle(), QStringLiteral("icon.glimmer[*] - Glimmerdock"));
            QVERIFY(!window.isWindowModified());
            saved = changed;
        }
        QCOMPARE(RecentProjects::existing(), QStringList{project});
        MainWindow reopened;
        QVERIFY(shown(reopened));
        QVERIFY(reopened.openProject(project));
        QCOMPARE(icon(reopened), saved);
        QCOMPARE(documentOf(&reopened).selected, -1);
        auto* list = child<QListWidget>(&reopened, "listWidget");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(1)).center());
        QCOMPARE(documentOf(&reopened).selected, 0);
        QVERIFY(!child<QWidget>(&reopened, "positionXSpinBox")->isHidden());
        QTest::mouseClick(child<QWidget>(&reopened, "canvas"), Qt::LeftButton, {}, {150, 150});
        QTest::keySequence(&reopened, QKeySequence::Delete);
        QTest::qWait(1);
        QVERIFY(reopened.isWindowModified());
        answer(QMessageBox::Discard);
        QVERIFY(dropFiles(child<QWidget>(&reopened, "canvas"), {9, 9}, {project}));
        QVERIFY(reopened.isWindowModified()); // the drop returns before the question
        QTRY_COMPARE(icon(reopened), saved);
        QVERIFY(!reopened.isWindowModified());
        QApplication::setActiveWindow(&reopened); // back from the question
        QTest::mouseClick(child<QWidget>(&reopened, "canvas"), Qt::LeftButton, {}, {150, 150});
        QTest::keySequence(&reopened, QKeySequence::Delete);
        QTest::qWait(1);
        answer(QMessageBox::Discard);
        QTest::keySequence(&reopened, QKeySequence::New);
        QVERIFY(documentOf(&reopened).layers.isEmpty() && !reopened.isWindowModified());
        QCOMPARE(reopened.windowTitle(), QStringLiteral("Untitled[*] - Glimmerdock"));
        QFile::remove(project);
        QVERIFY(RecentProjects::existing().isEmpty());
    }

    // Unsaved changes are on disk a moment after the last change, and gone once saved or ended
    // normally. What a crash left (a recovery file no running window owns) is offered at the next
    // start: Restore gives the document back as it was, still unsaved, and Discard throws it away.
    void crashLosesNothing() {
        const QDir recovery(CrashRecovery::defaultFolder());
        const auto kept = [&] { return recovery.entryList({"*.glimmer"}, QDir::Files); };
        const QString crashed = recovery.filePath("crashed.glimmer");
        QImage before;
        {
            MainWindow window;
            QVERIFY(shown(window));
            auto* canvas = child<QWidget>(&window, "canvas");
            QVERIFY(dropFiles(canvas, {150, 150}, {file("p.png")}));
            QTRY_COMPARE(kept().size(), 1);
            QVERIFY(window.saveProject(file("kept.glimmer")));
            QCOMPARE(kept().size(), 0);
            QVERIFY(dropFiles(canvas, {100, 120}, {file("q.jpg")}));
            QTRY_COMPARE(kept().size(), 1);
            before = icon(window);
            // What a window killed now would leave: its file without a living owner.
            QVERIFY(QFile::copy(recovery.filePath(kept().constFirst()), file("crashed")));
        }
        QCOMPARE(kept(), QStringList());
        for (const QString choice : {"&Discard", "&Restore"}) {
            QVERIFY(QFile::copy(file("crashed"), crashed));
            QVERIFY(writeFileBytes(crashed + ".path", file("kept.glimmer").toUtf8()));
            whenModal<QMessageBox>([choice](QMessageBox* question) {
                for (QAbstractButton* button : question->buttons()) {
                    if (button->text() == choice)
                        button->click();
                }
            });
            MainWindow window;
            QVERIFY(shown(window));
            QTRY_VERIFY(kept().isEmpty());
            const bool restored = choice == "&Restore";
            QCOMPARE(std::tuple(icon(window) == before, window.isWindowModified(),
                                window.windowTitle().startsWith("kept.glimmer")),
                     std::tuple(restored, restored, restored));
        }
    }

    // The menus hold their actions, keys and separators; the Edit menu names the step a control
    // of the form made (a run of turns by the box is one); Ctrl+Y redoes as Ctrl+Shift+Z does.
    void undoFromTheKeyboard() {
        MainWindow window;
        QVERIFY(shown(window));
        QVERIFY(dropFiles(child<QWidget>(&window, "canvas"), {150, 150}, {file("p.png")}));
        QTest::qWait(1);
        for (const int angle : {50, 60})
            child<QSpinBox>(&window, "rotateSpinBox")->setValue(angle);
        const QAction* undo = window.menuBar()->actions().at(1)->menu()->actions().first();
        QCOMPARE(undo->text(), "&Undo Turn Picture");
        // The menus as the user reads them, separators as "|".
        QStringList menus;
        for (const QAction* menu : window.menuBar()->actions()) {
            QStringList items;
            for (const QAction* item : menu->menu()->actions())
                items << (item->isSeparator()
                              ? "|"
                              : (item->text() + ' ' + item->shortcut().toString()).trimmed());
            menus << menu->text() + ": " + items.join(", ");
        }
        QCOMPARE(menus,
                 QStringList({"&File: &New Ctrl+N, &Open... Ctrl+O, Open &Recent, &Save Ctrl+S, "
                              "Save &As... Ctrl+Shift+S, |, Add &Pictures... Ctrl+I, "
                              "&Export Icon..., Icon Si&zes..., macOS Icons on the &Grid, "
                              "|, &Quit",
                              "&Edit: &Undo Turn Picture Ctrl+Z, &Redo Ctrl+Y, |, "
                              "&Paste Ctrl+V, &Delete Picture Del",
                              "&Help: &About Glimmerdock, &Website"}));
        QTest::keySequence(&window, QKeySequence::Undo);
        QCOMPARE(documentOf(&window).layers.at(0).rotation, 0);
        QCOMPARE(undo->text(), "&Undo Add Pictures");
        QTest::keyClick(&window, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(documentOf(&window).layers.at(0).rotation, 60);
        // Typing is one step; Ctrl+Z in the field undoes it as a step and keeps it to redo.
        auto* text = child<QLineEdit>(&window, "badgeTextLineEdit");
        const QString before = text->text();
        text->setFocus();
        QTest::keyClicks(text, "NEW");
        QCOMPARE(documentOf(&window).style.badgeText, before + "NEW");
        QTest::keySequence(text, QKeySequence::Undo);
        QCOMPARE(documentOf(&window).style.badgeText, before);
        QVERIFY(window.findChild<EditedDocument*>()->undoStack()->canRedo());
        QTest::keyClick(text, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(text->text(), before + "NEW");
    }

    // The output choice and its sizes are the document's: each change is a step that marks it
    // unsaved, undo takes it back, a project keeps it, and opening a project leaves the sizes a
    // new document starts with as they were.
    void outputChoiceIsTheDocuments() {
        clearSettings();
        const QString project = folder.filePath("choices.glimmer");
        {
            MainWindow window;
            QVERIFY(shown(window));
            auto* output = child<QComboBox>(&window, "outputComboBox");
            output->setCurrentIndex(3);
            QVERIFY(window.isWindowModified());
            QTest::keySequence(&window, QKeySequence::Undo);
            QCOMPARE(output->currentIndex(), 0);
            QVERIFY(!window.isWindowModified());
            QTest::keySequence(&window, QKeySequence::Redo);
            QCOMPARE(documentOf(&window).output.target, "hicolor");
            whenModal<IconSizesDialog>([](IconSizesDialog* dialog) {
                click(dialog, "windowsButton");
                child<QCheckBox>(dialog, "sharpCheckBox")->setChecked(true);
                click(dialog, "okButton");
            });
            window.findChild<EditorForm*>()->chooseIconSizes();
            QCOMPARE(documentOf(&window).output.iconSizes, IconSizes::windowsSet());
            QVERIFY(window.saveProject(project));
            QVERIFY(!window.isWindowModified());
        }
        clearSettings();
        MainWindow reopened;
        QVERIFY(shown(reopened));
        QVERIFY(reopened.openProject(project));
        // The project's choice is shown; what the settings store holds for new documents is left.
        QCOMPARE(documentOf(&reopened).output.iconSizes, IconSizes::windowsSet());
        QCOMPARE(child<QComboBox>(&reopened, "outputComboBox")->currentIndex(), 3);
        QVERIFY(!settingValue("IconSize/sizes").isValid() &&
                !settingValue("IconSize/sharp").isValid());
        QTest::keySequence(&reopened, QKeySequence::New);
        QCOMPARE(documentOf(&reopened).output.iconSizes, QList<int>());
        // A newer version's output opens as the first target, and the status bar says so.
        QByteArray text = readFileBytes(project);
        QVERIFY(text.contains("\"outputTarget\": \"hicolor\""));
        text.replace("\"outputTarget\": \"hicolor\"", "\"outputTarget\": \"vision\"");
        const QString newer = folder.filePath("newer.glimmer");
        QVERIFY(writeFileBytes(newer, text));
        QVERIFY(reopened.openProject(newer));
        QCOMPARE(child<QComboBox>(&reopened, "outputComboBox")->currentIndex(), 0);
        QVERIFY(reopened.statusBar()->currentMessage().contains("\"vision\" is unknown"));
    }

    // Pictures come by File > Add Pictures (Ctrl+I) and by Edit > Paste (Ctrl+V) as by a drop:
    // one step each; a clipboard with no picture in it, and each file of a drop not taken, is
    // told until the next action; a read on the side, while it runs.
    void addAndPaste() {
        MainWindow window;
        QVERIFY(shown(window));
        whenModal<QFileDialog>([&](QFileDialog* dialog) {
            chooseInFileDialog(dialog, folder.path(), "\"p.png\" \"q.jpg\"");
        });
        QTest::keyClick(&window, Qt::Key_I, Qt::ControlModifier);
        QCOMPARE(documentOf(&window).layers.size(), 2);
        QCOMPARE(window.findChild<EditedDocument*>()->undoStack()->undoText(), "Add Pictures");
        QApplication::setActiveWindow(&window); // back from the dialog
        QTest::keySequence(&window, QKeySequence::Undo);
        QVERIFY(documentOf(&window).layers.isEmpty());
        QImage copied(40, 30, QImage::Format_ARGB32);
        copied.fill(QColor(10, 20, 200, 128));
        QGuiApplication::clipboard()->setImage(copied);
        QTest::keySequence(&window, QKeySequence::Paste);
        QCOMPARE(documentOf(&window).layers.size(), 1);
        const QImage pasted = documentOf(&window).layers.at(0).sourceImage;
        QCOMPARE(std::tuple(pasted.size(), pasted.pixelColor(5, 5).alpha()),
                 std::tuple(QSize(40, 30), 128));
        QGuiApplication::clipboard()->setText(
            "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"20\" height=\"10\"/>");
        QTest::keySequence(&window, QKeySequence::Paste);
        QCOMPARE(documentOf(&window).layers.size(), 2);
        QVERIFY(documentOf(&window).layers.at(1).vector);
        // A file's path or address as text is that file.
        QGuiApplication::clipboard()->setText(QUrl::fromLocalFile(file("p.png")).toString());
        QTest::keySequence(&window, QKeySequence::Paste);
        QCOMPARE(documentOf(&window).layers.size(), 3);
        QCOMPARE(documentOf(&window).layers.at(2).filePath, file("p.png"));
        QGuiApplication::clipboard()->setText("words");
        QTest::keySequence(&window, QKeySequence::Paste);
        QCOMPARE(documentOf(&window).layers.size(), 3);
        QCOMPARE(window.statusBar()->currentMessage(),
                 "Not added: the clipboard: its text is not a picture, a file's path or SVG");
        QGuiApplication::clipboard()->clear();
        QTest::keySequence(&window, QKeySequence::Paste);
        QCOMPARE(window.statusBar()->currentMessage(),
                 "Not added: the clipboard: no picture in it");
        // Every file of a drop not taken is named; the message stays, no timer running down.
        QVERIFY(writeFileBytes(file("notes.txt"), "words"));
        QVERIFY(writeFileBytes(file("broken.png"), "\x89PNG\r\n\x1a\n"));
        QVERIFY(dropFiles(window.findChild<CanvasWidget*>(), {150, 150},
                          {file("notes.txt"), file("p.png"), file("broken.png")}));
        QCOMPARE(documentOf(&window).layers.size(), 4);
        QCOMPARE(window.statusBar()->currentMessage(),
                 "Not added: notes.txt: unsupported type; broken.png: cannot be read");
        for (const QTimer* timer : window.statusBar()->findChildren<QTimer*>())
            QVERIFY(!timer->isActive());
        // The next action ends it.
        QTest::keySequence(&window, QKeySequence::Undo);
        QCOMPARE(documentOf(&window).layers.size(), 3);
        QCOMPARE(window.statusBar()->currentMessage(), QString());
        // A read on the side is told with a bar that moves, knowing no end, while it runs.
        auto* form = window.findChild<EditorForm*>();
        emit form->reading("Reading big.jpg…");
        const auto* busy = window.statusBar()->findChild<QProgressBar*>();
        QVERIFY(busy->isVisible() && busy->minimum() == 0 && busy->maximum() == 0);
        QCOMPARE(window.statusBar()->currentMessage(), "Reading big.jpg…");
        emit form->reading(QString());
        QVERIFY(!busy->isVisible() && window.statusBar()->currentMessage().isEmpty());
    }
};

QTEST_MAIN(TestDocument)
#include "tst_document.moc"
