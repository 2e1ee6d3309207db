// The document as the user owns it in the main window: saved, reopened, dropped and listed as a
// project; undone and redone with the keyboard; guarded against being thrown away unsaved.
#include "app/mainwindow.h"
#include "app/recentprojects.h"
#include "form/editorform.h"
#include "form/iconsizesdialog.h"
#include "output/iconsizes.h"
#include "render/iconrenderer.h"
#include "support/testsupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

using namespace TestSupport;

class TestDocument : public QObject {
    Q_OBJECT

    QTemporaryDir folder;

    // Answers the next unsaved-changes question with `button`; the caller then asks it.
    static void answer(QMessageBox::StandardButton button) {
        whenModal<QMessageBox>([button](QMessageBox* box) { box->button(button)->click(); });
    }

private Q_SLOTS:
    void initTestCase() {
        initTestEnvironment();
        QLoggingCategory::setFilterRules("qt.core.qmetaobject.connectslotsbyname=false");
        QVERIFY(writePicture(folder.filePath("p.png"), {90, 60}, QColor(10, 200, 90, 160)));
        QVERIFY(writePicture(folder.filePath("q.jpg"), {400, 300}, Qt::darkMagenta));
    }

    // Changes, undone with the keyboard back to the start and redone; the title's marker follows
    // the saved state; Cancel keeps the window and the document, Save writes the project that a
    // new window opens again as it was, from the File menu's recent list or a drop on the canvas.
    void ownTheDocument() {
        const QString project = folder.filePath("icon.glimmer");
        QImage saved;
        {
            MainWindow window;
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QCOMPARE(window.windowTitle(), QStringLiteral("Untitled[*] - Glimmerdock"));
            auto* canvas = child<QWidget>(&window, "canvas");
            QVERIFY(dropFiles(canvas, {120, 120},
                              {folder.filePath("p.png"), folder.filePath("q.jpg")}));
            QTest::qWait(1);
            QTest::mousePress(canvas, Qt::LeftButton, {}, {150, 150});
            QTest::mouseMove(canvas, {170, 140});
            QTest::mouseRelease(canvas, Qt::LeftButton, {}, {170, 140});
            for (int notch = 0; notch < 3; ++notch) {
                wheelOver(canvas, {0, -120});
                QTest::qWait(1);
            }
            QVERIFY(window.isWindowModified());
            const QImage changed = renderDocumentIcon(documentOf(&window));
            for (int step = 0; step < 3; ++step)
                QTest::keySequence(&window, QKeySequence::Undo);
            QVERIFY(documentOf(&window).layers.isEmpty());
            QVERIFY(!window.isWindowModified());
            for (int step = 0; step < 3; ++step)
                QTest::keySequence(&window, QKeySequence::Redo);
            QCOMPARE(renderDocumentIcon(documentOf(&window)), changed);

            answer(QMessageBox::Cancel);
            QVERIFY(!window.close());
            QCOMPARE(renderDocumentIcon(documentOf(&window)), changed);
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
        reopened.show();
        QVERIFY(QTest::qWaitForWindowExposed(&reopened));
        QVERIFY(reopened.openProject(project));
        QCOMPARE(renderDocumentIcon(documentOf(&reopened)), saved);
        QTest::mouseClick(child<QWidget>(&reopened, "canvas"), Qt::LeftButton, {}, {150, 150});
        QTest::keySequence(&reopened, QKeySequence::Delete);
        QTest::qWait(1);
        QVERIFY(reopened.isWindowModified());
        answer(QMessageBox::Discard);
        QVERIFY(dropFiles(child<QWidget>(&reopened, "canvas"), {9, 9}, {project}));
        QCOMPARE(renderDocumentIcon(documentOf(&reopened)), saved);
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

    // Delete from the keyboard is a step of its own, however long after the last one it comes.
    void deleteKeyIsOneStep() {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* canvas = child<QWidget>(&window, "canvas");
        // The keys go to the canvas from the start.
        QTRY_COMPARE(QApplication::focusWidget(), canvas);
        QVERIFY(dropFiles(canvas, {150, 150}, {folder.filePath("p.png")}));
        QTest::qWait(1);
        const QImage dropped = renderDocumentIcon(documentOf(&window));
        QTest::mouseClick(canvas, Qt::LeftButton, {}, {150, 150});
        QTest::qWait(1);
        QTest::keySequence(&window, QKeySequence::Delete);
        QTest::qWait(1);
        QVERIFY(documentOf(&window).layers.isEmpty());
        QTest::keySequence(&window, QKeySequence::Undo);
        QCOMPARE(renderDocumentIcon(documentOf(&window)), dropped);
        // After an undo the history goes on recording: the picture moved is a step of its own.
        QTest::mouseClick(canvas, Qt::LeftButton, {}, {150, 150});
        QTest::keyClick(canvas, Qt::Key_Right, Qt::ShiftModifier);
        QTest::qWait(1);
        QVERIFY(renderDocumentIcon(documentOf(&window)) != dropped);
        QTest::keySequence(&window, QKeySequence::Undo);
        QCOMPARE(renderDocumentIcon(documentOf(&window)), dropped);
        QTest::keySequence(&window, QKeySequence::Undo);
        QVERIFY(documentOf(&window).layers.isEmpty() && !window.isWindowModified());
    }

    // Edits of one control, or of one picture's zoom or turn, one after another are one step;
    // the turns after the zooms are a step of their own.
    void stepsMerge() {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(dropFiles(child<QWidget>(&window, "canvas"), {150, 150},
                          {folder.filePath("p.png"), folder.filePath("q.jpg")}));
        QTest::qWait(1);
        const int fitted = documentOf(&window).layers.at(1).scale;
        const auto edit = [&](const char* box, int value) {
            child<QSpinBox>(&window, box)->setValue(value);
            QTest::qWait(1);
        };
        for (int width = 4; width < 7; ++width)
            edit("badgeLineWidthSpinBox", width);
        for (const int scale : {20, 30, 40})
            edit("sizeSpinBox", scale);
        edit("rotateSpinBox", 50);
        edit("rotateSpinBox", 60);
        // The Edit menu names the step; Ctrl+Y redoes as Ctrl+Shift+Z does.
        QAction* undo = nullptr;
        for (QAction* action : window.findChildren<QAction*>()) {
            if (action->text().startsWith("&Undo"))
                undo = action;
        }
        QVERIFY(undo);
        QCOMPARE(undo->text(), "&Undo Turn Picture");
        QTest::keySequence(&window, QKeySequence::Undo);
        QCOMPARE(documentOf(&window).layers.at(1).rotation, 0);
        QCOMPARE(undo->text(), "&Undo Zoom Picture");
        QTest::keyClick(&window, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(documentOf(&window).layers.at(1).rotation, 60);
        QTest::keySequence(&window, QKeySequence::Undo);
        QCOMPARE(documentOf(&window).layers.at(1).rotation, 0);
        QCOMPARE(documentOf(&window).layers.at(1).scale, 40);
        QTest::keySequence(&window, QKeySequence::Undo);
        QCOMPARE(documentOf(&window).layers.at(1).scale, fitted);
        QCOMPARE(documentOf(&window).style.badgeLineWidth, 6);
        QTest::keySequence(&window, QKeySequence::Undo);
        QCOMPARE(documentOf(&window).style.badgeLineWidth, 3);
        // Typing is one step; Ctrl+Z in the field undoes it as a step and keeps it to redo.
        auto* text = child<QLineEdit>(&window, "badgeTextLineEdit");
        const QString before = text->text();
        text->setFocus();
        QTest::keyClicks(text, "NEW");
        QCOMPARE(documentOf(&window).style.badgeText, before + "NEW");
        QTest::keySequence(text, QKeySequence::Undo);
        QCOMPARE(documentOf(&window).style.badgeText, before);
        QVERIFY(window.findChild<EditorForm*>()->undoStack()->canRedo());
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
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            auto* output = child<QComboBox>(&window, "outputComboBox");
            output->setCurrentIndex(3);
            QVERIFY(window.isWindowModified());
            QTest::keySequence(&window, QKeySequence::Undo);
            QCOMPARE(output->currentIndex(), 0);
            QVERIFY(!window.isWindowModified());
            QTest::keySequence(&window, QKeySequence::Redo);
            QCOMPARE(documentOf(&window).output.target, 3);
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
        reopened.show();
        QVERIFY(QTest::qWaitForWindowExposed(&reopened));
        QVERIFY(reopened.openProject(project));
        const OutputChoice opened = documentOf(&reopened).output;
        QCOMPARE(opened.target, 3);
        QCOMPARE(opened.iconSizes, IconSizes::windowsSet());
        QVERIFY(opened.sharpSizes);
        QCOMPARE(child<QComboBox>(&reopened, "outputComboBox")->currentIndex(), 3);
        QVERIFY(!settingValue("IconSize/sizes").isValid() &&
                !settingValue("IconSize/sharp").isValid());
        QTest::keySequence(&reopened, QKeySequence::New);
        QCOMPARE(documentOf(&reopened).output.iconSizes, QList<int>());
    }

    // A click on a row selects its picture whatever came before: an opened project, a new
    // document, an undo back to a state with nothing selected.
    void rowClickSelects() {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* canvas = child<QWidget>(&window, "canvas");
        auto* list = child<QListWidget>(&window, "listWidget");
        const auto clickRow = [&](int row) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(row)).center());
            QCoreApplication::processEvents();
        };
        const auto verifySelected = [&](int layer) {
            QCOMPARE(documentOf(&window).selected, layer);
            QCOMPARE(child<QWidget>(&window, "positionXSpinBox")->isHidden(), layer < 0);
            QCOMPARE(child<QWidget>(&window, "objectNoteLabel")->isHidden(), layer >= 0);
        };
        QVERIFY(dropFiles(canvas, {60, 60}, {folder.filePath("p.png")}));
        QVERIFY(dropFiles(canvas, {200, 200}, {folder.filePath("q.jpg")}));
        QTest::keyClick(canvas, Qt::Key_Delete);
        verifySelected(-1);
        QVERIFY(dropFiles(canvas, {200, 200}, {folder.filePath("p.png")}));
        QTest::keySequence(&window, QKeySequence::Undo);
        verifySelected(-1);
        clickRow(0);
        verifySelected(0);
        const QString project = folder.filePath("rows.glimmer");
        QVERIFY(window.saveProject(project));
        QVERIFY(window.openProject(project));
        verifySelected(-1);
        clickRow(0);
        verifySelected(0);
        QTest::keySequence(&window, QKeySequence::New);
        QVERIFY(dropFiles(canvas, {60, 60}, {folder.filePath("p.png"), folder.filePath("q.jpg")}));
        clickRow(1);
        verifySelected(0);
    }

    // Every menu entry, and every answer to the unsaved-changes question, has a key letter of its
    // own within its menu or question; Ctrl+Shift+S is Save As.
    void keysOfMenusAndQuestions() {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const auto letters = [](const QList<QAction*>& actions) {
            QStringList taken;
            for (QAction* action : actions) {
                const int at = action->text().indexOf('&');
                if (!action->isSeparator())
                    taken << (at < 0 ? QString() : action->text().mid(at + 1, 1).toLower());
            }
            return taken;
        };
        const QList<QAction*> menus = window.menuBar()->actions();
        QCOMPARE(menus.size(), 3);
        for (QAction* menu : menus) {
            menu->menu()->aboutToShow(); // fills the recent list
            const QStringList taken = letters(menu->menu()->actions());
            QVERIFY2(!taken.contains(QString()), qPrintable(menu->text()));
            QCOMPARE(QSet<QString>(taken.begin(), taken.end()).size(), taken.size());
        }
        const QStringList top = letters(menus);
        QCOMPARE(QSet<QString>(top.begin(), top.end()).size(), top.size());
        bool asked = false;
        whenModal<QFileDialog>([&](QFileDialog* dialog) {
            asked = dialog->acceptMode() == QFileDialog::AcceptSave;
            dialog->reject();
        });
        QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(asked);
        QVERIFY(dropFiles(child<QWidget>(&window, "canvas"), {50, 50}, {folder.filePath("p.png")}));
        QStringList answers;
        whenModal<QMessageBox>([&](QMessageBox* box) {
            for (QAbstractButton* button : box->buttons())
                answers << button->text();
            box->button(QMessageBox::Cancel)->click();
        });
        QVERIFY(!window.close());
        QVERIFY2(answers.contains("&Save") && answers.contains("&Discard"),
                 qPrintable(answers.join(' ')));
    }

    // Pictures come by File > Add Pictures (Ctrl+I) and by Edit > Paste (Ctrl+V) as by a drop:
    // one step each, and a clipboard with no picture in it is told.
    void addAndPaste() {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        whenModal<QFileDialog>([&](QFileDialog* dialog) {
            chooseInFileDialog(dialog, folder.path(), "\"p.png\" \"q.jpg\"");
        });
        QTest::keyClick(&window, Qt::Key_I, Qt::ControlModifier);
        QCOMPARE(documentOf(&window).layers.size(), 2);
        QCOMPARE(window.findChild<EditorForm*>()->undoStack()->undoText(), "Add Pictures");
        QApplication::setActiveWindow(&window); // back from the dialog
        QTest::keySequence(&window, QKeySequence::Undo);
        QVERIFY(documentOf(&window).layers.isEmpty());
        QImage copied(40, 30, QImage::Format_ARGB32);
        copied.fill(QColor(10, 20, 200, 128));
        QGuiApplication::clipboard()->setImage(copied);
        QTest::keySequence(&window, QKeySequence::Paste);
        QCOMPARE(documentOf(&window).layers.size(), 1);
        QCOMPARE(documentOf(&window).layers.at(0).sourceImage.size(), QSize(40, 30));
        QCOMPARE(documentOf(&window).layers.at(0).sourceImage.pixelColor(5, 5).alpha(), 128);
        QGuiApplication::clipboard()->setText(
            "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"20\" height=\"10\"/>");
        QTest::keySequence(&window, QKeySequence::Paste);
        QCOMPARE(documentOf(&window).layers.size(), 2);
        QVERIFY(documentOf(&window).layers.at(1).vector);
        QGuiApplication::clipboard()->setText("words");
        QTest::keySequence(&window, QKeySequence::Paste);
        QCOMPARE(documentOf(&window).layers.size(), 2);
        QCOMPARE(window.statusBar()->currentMessage(),
                 "Not added: the clipboard: no picture in it");
        QTest::keySequence(&window, QKeySequence::Undo);
        QCOMPARE(documentOf(&window).layers.size(), 1);
    }

    // A file that is no project is named in a message and the document stays as it was.
    void badProjectFile() {
        MainWindow window;
        QVERIFY(writeFileBytes(folder.filePath("notes.txt"), "words"));
        QVERIFY(dropFiles(child<QWidget>(&window, "canvas"), {50, 50},
                          {folder.filePath("notes.txt"), folder.filePath("p.png")}));
        QTest::qWait(1);
        // The file not taken is told in the status bar, the picture after it is added.
        QCOMPARE(window.statusBar()->currentMessage(), "Not added: notes.txt: unsupported type");
        QCOMPARE(documentOf(&window).layers.size(), 1);
        QVERIFY(writeFileBytes(folder.filePath("bad.glimmer"), "{\"format\": 3"));
        const QImage before = renderDocumentIcon(documentOf(&window));
        answer(QMessageBox::Discard);
        const QStringList messages =
            messagesDuring([&] { QVERIFY(!window.openProject(folder.filePath("bad.glimmer"))); });
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages.first().contains("bad.glimmer"));
        QCOMPARE(renderDocumentIcon(documentOf(&window)), before);
    }
};

QTEST_MAIN(TestDocument)
#include "tst_document.moc"
