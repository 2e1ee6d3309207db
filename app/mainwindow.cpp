#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "app/aboutdialog.h"
#include "app/crashrecovery.h"
#include "app/makerlinks.h"
#include "app/otherappsdialog.h"
#include "app/recentprojects.h"
#include "app/shellopen.h"
#include "canvas/canvaswidget.h"
#include "document/editeddocument.h"
#include "document/projectfile.h"
#include "form/editorform.h"
#include "form/formlayout.h"
#include "output/exporttargets.h"
#include "output/filecommit.h"
#include "trace/printablename.h"
#include "trace/trace.h"
#include "windowgeometry.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStackedLayout>
#include <QStatusBar>
#include <QTimer>
#include <QUndoStack>

namespace {

const QString projectFilter = QStringLiteral("Glimmerdock project (*.glimmer)");
// How long after the last change unsaved changes are written for a crash: soon, but not on
// every step of a drag.
constexpr int recoveryDelayMs = 1500;

} // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), ui(new Ui::MainWindow) {
    ui->setupUi(this);
    restoreWindowGeometry();
    stackedLayout = new QStackedLayout;
    // Made after the central widget, so it goes after the form that shows it.
    edited = new EditedDocument(this);
    form = new EditorForm(*edited, this);
    // On a small screen (or a large one at 200 %) the window may be smaller than the form: it
    // scrolls instead of pushing the window's title bar off the screen.
    auto* scroller = new QScrollArea(this);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    scroller->setWidget(form);
    scroller->setFocusPolicy(Qt::NoFocus);
    stackedLayout->addWidget(scroller);
    ui->centralwidget->setLayout(stackedLayout);
    createMenus();
    connect(edited->undoStack(), &QUndoStack::cleanChanged, this,
            [this](bool clean) { setWindowModified(!clean); });
    recovery = new CrashRecovery([this] { return ProjectFile::encode(edited->document()); },
                                 recoveryDelayMs, this);
    const auto keepForRecovery = [this] {
        recovery->documentChanged(!edited->undoStack()->isClean(), projectPath);
    };
    connect(edited->undoStack(), &QUndoStack::indexChanged, this, keepForRecovery);
    connect(edited->undoStack(), &QUndoStack::cleanChanged, this, keepForRecovery);
    // Opened once the drop has returned: the save question must not hold the other program's drag.
    connect(form, &EditorForm::projectDropped, this, &MainWindow::openProject,
            Qt::QueuedConnection);
    connect(form, &EditorForm::aboutRequested, this, [this] { (new AboutDialog(this))->exec(); });
    connect(form, &EditorForm::otherAppsRequested, this,
            [this] { (new OtherAppsDialog(this))->exec(); });
    connect(form, &EditorForm::websiteRequested, this,
            [] { ShellOpen::openAddress(MakerLinks::website); });
    connect(form, &EditorForm::told, this, &MainWindow::tell);
    // What the status bar tells stays until the user does something else, so it is read whole
    // and never describes an older action.
    connect(edited, &EditedDocument::changed, this, [this] {
        if (statusBar()->currentMessage() == lastTold)
            statusBar()->clearMessage();
    });
    // A read on the side shows as long as it runs, with a bar that moves.
    auto* busy = new QProgressBar(this);
    busy->setRange(0, 0);
    busy->setMaximumSize(120, statusBar()->fontMetrics().height());
    busy->hide();
    statusBar()->addPermanentWidget(busy);
    connect(form, &EditorForm::reading, this, [this, busy](const QString& what) {
        busy->setVisible(!what.isEmpty());
        if (what.isEmpty())
            statusBar()->clearMessage();
        else
            statusBar()->showMessage(what);
    });
    showTitle();
}

MainWindow::~MainWindow() {
    // The undo stack clears itself as the document goes, after this window has stopped being one.
    disconnect(edited->undoStack(), nullptr, this, nullptr);
    delete ui;
}

void MainWindow::createMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&New"), QKeySequence::New, this, &MainWindow::newProject);
    file->addAction(tr("&Open..."), QKeySequence::Open, this, &MainWindow::chooseProject);
    recentMenu = file->addMenu(tr("Open &Recent"));
    connect(recentMenu, &QMenu::aboutToShow, this, &MainWindow::fillRecentMenu);
    file->addAction(tr("&Save"), QKeySequence::Save, this, &MainWindow::save);
    QAction* saveAs = file->addAction(tr("Save &As..."), this, &MainWindow::saveAs);
    saveAs->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    file->addSeparator();
    file->addAction(tr("Add &Pictures..."), QKeySequence(Qt::CTRL | Qt::Key_I), form,
                    &EditorForm::addPictures);
    file->addAction(tr("&Export Icon..."), form, &EditorForm::exportIcon);
    file->addAction(tr("Icon Si&zes..."), form, &EditorForm::chooseIconSizes);
    file->addAction(form->appleGridAction());
    file->addSeparator();
    file->addAction(tr("&Quit"), QKeySequence::Quit, this, &QWidget::close);

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    QAction* undo = edited->undoStack()->createUndoAction(this, tr("&Undo"));
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = edited->undoStack()->createRedoAction(this, tr("&Redo"));
    // Ctrl+Y as well, as most editors on every system take it.
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    if (!redoKeys.contains(QKeySequence(Qt::CTRL | Qt::Key_Y)))
        redoKeys << QKeySequence(Qt::CTRL | Qt::Key_Y);
    redo->setShortcuts(redoKeys);
    edit->addActions({undo, redo});
    connect(edit, &QMenu::aboutToShow, this, [undo, redo] {
        qCDebug(lcApp).noquote() << "Edit menu:" << undo->text() << "|" << redo->text();
    });
    edit->addSeparator();
    edit->addAction(tr("&Paste"), QKeySequence::Paste, form, &EditorForm::paste);
    edit->addAction(tr("&Delete Picture"), QKeySequence::Delete, form,
                    &EditorForm::deleteSelectedPicture);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(tr("&About Glimmerdock"), form, &EditorForm::aboutRequested);
    help->addAction(tr("&Website"), form, &EditorForm::websiteRequested);
}

// Built when it opens, so projects whose files have gone since are left out.
void MainWindow::fillRecentMenu() {
    recentMenu->clear();
    for (const QString& path : RecentProjects::existing()) {
        recentMenu->addAction(QDir::toNativeSeparators(path), this,
                              [this, path] { openProject(path); });
    }
    recentMenu->setEnabled(!recentMenu->isEmpty());
}

void MainWindow::showTitle() {
    const QString name =
        projectPath.isEmpty() ? tr("Untitled") : printableName(QFileInfo(projectPath).fileName());
    setWindowTitle(tr("%1[*] - Glimmerdock").arg(name));
    setWindowModified(!edited->undoStack()->isClean());
}

bool MainWindow::maySetDocumentAside() {
    if (edited->undoStack()->isClean())
        return true;
    const QString name =
        projectPath.isEmpty() ? tr("Untitled") : printableName(QFileInfo(projectPath).fileName());
    QMessageBox question(QMessageBox::Question, tr("Glimmerdock"),
                         tr("Save the changes to %1 before closing it?").arg(name),
                         QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    question.setDefaultButton(QMessageBox::Save);
    // Each answer has a key of its own: Alt+S, Alt+D, Escape.
    question.button(QMessageBox::Save)->setText(tr("&Save"));
    question.button(QMessageBox::Discard)->setText(tr("&Discard"));
    switch (question.exec()) {
    case QMessageBox::Save:
        return save();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

void MainWindow::newProject() {
    if (!maySetDocumentAside())
        return;
    form->newDocument();
    projectPath.clear();
    showTitle();
}

void MainWindow::chooseProject() {
    const QString path = QFileDialog::getOpenFileName(this, tr("Open Project"),
                                                      QFileInfo(projectPath).path(), projectFilter);
    if (!path.isEmpty())
        openProject(path);
}

bool MainWindow::openProject(const QString& path) {
    if (!maySetDocumentAside())
        return false;
    QString reason;
    const std::optional<Document> project = ProjectFile::load(path, &reason);
    if (!project) {
        tellFailure(tr("Cannot open"), path, reason);
        return false;
    }
    showOpened(*project);
    projectPath = QFileInfo(path).absoluteFilePath();
    RecentProjects::add(projectPath);
    showTitle();
    return true;
}

bool MainWindow::save() {
    return projectPath.isEmpty() ? saveAs() : saveProject(projectPath);
}

bool MainWindow::saveAs() {
    QFileDialog dialog(this, tr("Save Project"), QFileInfo(projectPath).path(), projectFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // Added by the dialog itself, so its overwrite question covers the final name.
    dialog.setDefaultSuffix(QString::fromLatin1(ProjectFile::suffix));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    return saveProject(dialog.selectedFiles().constFirst());
}

bool MainWindow::saveProject(const QString& path) {
    const QString reason = commitFile(path, ProjectFile::encode(edited->document()));
    if (!reason.isEmpty()) {
        tellFailure(tr("Cannot save"), path, reason);
        return false;
    }
    projectPath = QFileInfo(path).absoluteFilePath();
    edited->undoStack()->setClean();
    RecentProjects::add(projectPath);
    showTitle();
    return true;
}

void MainWindow::offerRecovery() {
    const std::optional<CrashRecovery::Left> left = recovery->leftBehind();
    if (!left)
        return;
    QMessageBox question(QMessageBox::Question, tr("Glimmerdock"),
                         tr("Glimmerdock did not close properly. Restore the changes that were "
                            "not saved?"),
                         QMessageBox::NoButton, this);
    QPushButton* restore = question.addButton(tr("&Restore"), QMessageBox::AcceptRole);
    question.addButton(tr("&Discard"), QMessageBox::DestructiveRole);
    question.setDefaultButton(restore);
    question.exec();
    if (question.clickedButton() != restore || !maySetDocumentAside()) {
        recovery->forget(*left);
        return;
    }
    QString reason;
    const std::optional<Document> document = ProjectFile::load(left->recoveryFile, &reason);
    if (!document) {
        tellFailure(tr("Cannot restore"), left->recoveryFile, reason);
        return;
    }
    showOpened(*document);
    projectPath = left->projectPath;
    // Restored changes are still unsaved: the title says so and closing asks.
    edited->undoStack()->resetClean();
    showTitle();
    recovery->forget(*left);
}

void MainWindow::showOpened(Document document) {
    const QString told = ExportTargets::chooseKnownTarget(document.output);
    form->openDocument(document);
    if (!told.isEmpty())
        tell(told);
}

void MainWindow::tell(const QString& message) {
    qCDebug(lcApp).noquote() << "Told:" << message;
    lastTold = message;
    statusBar()->showMessage(message);
}

void MainWindow::tellFailure(const QString& what, const QString& path, const QString& reason) {
    QMessageBox::warning(
        this, tr("Glimmerdock"),
        QStringLiteral("%1 %2:\n%3").arg(what, QDir::toNativeSeparators(path), reason));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!maySetDocumentAside()) {
        event->ignore();
        return;
    }
    WindowGeometry::save(geometry());
}

void MainWindow::restoreWindowGeometry() {
    const QRect restored =
        WindowGeometry::restored(GeometryStore::screenSize(), WindowGeometry::load());
    setGeometry(WindowGeometry::keptOnScreen(restored, WindowGeometry::frameEstimate,
                                             screen()->availableGeometry()));
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The keys belong to the canvas from the start (Delete, arrows), not to the scrolling or the
    // first control.
    if (!event->spontaneous())
        form->findChild<CanvasWidget*>()->setFocus(Qt::ActiveWindowFocusReason);
    // The real frame is known only once the window is on the screen.
    QTimer::singleShot(0, this, &MainWindow::keepFrameOnScreen);
    if (!event->spontaneous())
        QTimer::singleShot(0, this, &MainWindow::offerRecovery);
    QTimer::singleShot(0, this, [this] {
        const auto* scroller = findChild<QScrollArea*>();
        qCDebug(lcApp).noquote() << "controls out of view:"
                                 << FormLayout::cutControls(form, scroller->viewport()).join(u' ');
    });
}

void MainWindow::keepFrameOnScreen() {
    const QRect client = geometry();
    const QRect frame = frameGeometry();
    const QMargins margins(client.left() - frame.left(), client.top() - frame.top(),
                           frame.right() - client.right(), frame.bottom() - client.bottom());
    const QRect kept = WindowGeometry::keptOnScreen(client, margins, screen()->availableGeometry());
    if (kept != client)
        setGeometry(kept);
}
