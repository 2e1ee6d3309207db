#pragma once

#include "document/document.h"
#include "form/previewscheduler.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>

class ColorSwatch;
class QAction;
class EditedDocument;
class PictureList;
class ShowAtChoice;
class SizePreview;
class StyleControls;
struct UserAction;

namespace Ui {
class EditorForm;
}

// The editor form around the canvas. Its controls, the canvas and the picture list turn what the
// user does into edits of the window's document, and every change of the document is shown by
// one path, showDocument(). Everything runs on the GUI thread.
class EditorForm : public QWidget {
    Q_OBJECT

public:
    // Shows and edits `document`, which the window owns and which outlives the form.
    explicit EditorForm(EditedDocument& document, QWidget* parent = nullptr);
    ~EditorForm() override;

    const Document& document() const;

    // Starts over with `document` (an opened project): no steps, nothing unsaved.
    void openDocument(const Document& document);
    // An empty document in the start style and with the start output choices.
    void newDocument();

    // The Go button's flow, and the Delete key's or menu entry's on the selected picture.
    void exportIcon();
    // The icon file's entries and the sharp small sizes, in their dialog.
    void chooseIconSizes();
    void deleteSelectedPicture();
    // Pictures chosen in a file dialog, or what the clipboard holds, added as a drop adds them.
    void addPictures();
    void paste();
    // The checkable choice of macOS icons on Apple's grid, shown as the document has it.
    QAction* appleGridAction() const { return appleGrid; }

    // The sizes of the next export as they will look, drawn again a moment after each change.
    SizePreview* sizePreview() const { return preview; }

    // The document a new one starts from: the style, icon and PNG sizes last used.
    static Document startDocument();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

Q_SIGNALS:
    // What the status bar says: an export wrote its files, dropped files were not taken.
    void told(const QString& message);
    // A project file was dropped on the canvas.
    void projectDropped(const QString& path);
    // What is being read on the side, for the status bar; empty once it is over.
    void reading(const QString& what);
    // The buttons of the window's own dialogs and links, which the window answers.
    void aboutRequested();
    void websiteRequested();
    void otherAppsRequested();

private Q_SLOTS:
    void on_shapeComboBox_currentIndexChanged(int index);
    void on_radiusSpinBox_valueChanged(int value);
    void on_backStyleComboBox_currentIndexChanged(int index);
    void on_backOrientationComboBox_currentIndexChanged(int index);
    void on_effect3dCheckBox_clicked();
    void on_backCheckBox_clicked();
    void on_borderCheckBox_clicked();
    void on_borderWidthSpinBox_valueChanged(int value);
    void on_glossyCheckBox_clicked();
    void on_badgeCheckBox_clicked();
    void on_badgeTextSizeSpinBox_valueChanged(int value);
    void on_badgeLineWidthSpinBox_valueChanged(int value);
    void on_badgeTextLineEdit_textChanged(const QString& text);
    void on_badgeFontComboBox_currentFontChanged(const QFont& font);
    void on_badgePositionComboBox_currentIndexChanged(int index);
    void on_badgeOrientationComboBox_currentIndexChanged(int index);
    void on_canvasSizeComboBox_currentIndexChanged(int index);
    void on_clipImageCheckBox_clicked();
    void on_outputComboBox_currentIndexChanged(int index);
    void on_upToolButton_clicked();
    void on_downToolButton_clicked();
    void on_deleteToolButton_clicked();
    void on_positionXSpinBox_valueChanged(int value);
    void on_positionYSpinBox_valueChanged(int value);
    void on_sizeSpinBox_valueChanged(int value);
    void on_rotateSpinBox_valueChanged(int value);
    void on_goButton_clicked();
    void on_aboutButton_clicked();
    void on_websiteButton_clicked();
    void on_otherAppsButton_clicked();

private:
    std::unique_ptr<Ui::EditorForm> ui;
    EditedDocument* edited = nullptr;
    // Slot guard: false while the form itself changes controls to show the document, so those
    // changes make no edits.
    bool slotsEnabled = false;
    std::unique_ptr<PictureList> pictures;
    std::unique_ptr<StyleControls> style;
    std::unique_ptr<ShowAtChoice> showAt;
    SizePreview* preview = nullptr;
    PreviewScheduler* previewer = nullptr;
    QAction* appleGrid = nullptr;

    void initControls();
    void connectSignals();
    void showDocument();

    // The edit of a control the user changed; none while showDocument() sets the controls.
    void editByUser(const UserAction& action);
};
