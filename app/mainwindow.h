#pragma once

#include "document/document.h"

#include <QMainWindow>
#include <QString>

class CrashRecovery;
class EditedDocument;
class EditorForm;
class QMenu;
class QStackedLayout;

namespace Ui {
class MainWindow;
}

// The one top-level window: the editor form with the File and Edit menus around it. It owns the
// document being edited and the project file it belongs to, shows its name and whether it has
// unsaved changes, and asks before anything would throw those away; a crash loses none of them. It
// remembers its geometry.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Opens the project at `path` after asking about unsaved changes; a file that cannot be
    // opened is named in a message and the document stays as it was. Answers whether it opened.
    bool openProject(const QString& path);
    // Saves the document to `path`, replacing an older file only with a complete one.
    bool saveProject(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    Ui::MainWindow* ui;
    // The document being edited, its steps and its selection; the form shows and edits it.
    EditedDocument* edited = nullptr;
    EditorForm* form = nullptr;
    QStackedLayout* stackedLayout = nullptr;
    QMenu* recentMenu = nullptr;
    CrashRecovery* recovery = nullptr;
    // The project file of the document; empty until it is first saved or opened.
    QString projectPath;
    // The status bar's last message told, cleared by the next change of the document.
    QString lastTold;

    void restoreWindowGeometry();
    void keepFrameOnScreen();
    void createMenus();
    void fillRecentMenu();
    void showTitle();
    // Answers whether the document may be replaced: saved, unchanged, or the user said so.
    bool maySetDocumentAside();
    bool save();
    bool saveAs();
    void newProject();
    void chooseProject();
    // After a crash: offers the unsaved changes it left behind.
    void offerRecovery();
    // An opened or restored project shown; an output this version does not know is told.
    void showOpened(Document document);
    // `message` in the status bar until the next change of the document or the next message.
    void tell(const QString& message);
    void tellFailure(const QString& what, const QString& path, const QString& reason);
};
