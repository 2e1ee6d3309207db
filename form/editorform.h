#pragma once

#include "document/iconstyle.h"
#include "document/projectfile.h"
#include "form/previewscheduler.h"
#include "output/pendingpng.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>

class EditedDocument;
class ColorSwatch;
class PictureList;
class SizePreview;
class StyleControls;
class QUndoStack;

namespace Ui {
class EditorForm;
}

// The editor form around the canvas: the container, badge and canvas-size controls write the
// icon style and repaint the canvas; the picture list and the Selected Object page follow the
// canvas selection. Everything runs on the GUI thread through direct connections.
class EditorForm : public QWidget {
    Q_OBJECT

public:
    explicit EditorForm(QWidget* parent = nullptr);
    ~EditorForm() override;

    // Every change to the document is a step here.
    QUndoStack* undoStack();

    // The document as it is now, and the one path that shows a document in every control, the
    // picture list and the canvas: undo and redo take it, and so does opening a project.
    Document document() const;
    void showDocument(const Document& document);

    // The document with the output choices, for a project file; opening one starts its history.
    Project project() const;
    void openProject(const Project& project);
    // An empty document in the start style.
    void newProject();

    // The Go button's flow, and the Delete button's on the selected picture.
    void exportIcon();
    // The icon file's entries and the sharp small sizes, in their dialog.
    void chooseIconSizes();
    void deleteSelectedPicture();

    // The sizes of the next export as they will look, drawn again a moment after each change.
    SizePreview* sizePreview() const { return preview; }
    void updatePreview();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

Q_SIGNALS:
    // What the status bar says: an export wrote its files, dropped files were not taken.
    void told(const QString& message);
    // A project file was dropped on the canvas.
    void projectDropped(const QString& path);
    // The buttons of the window's own dialogs and links, which the window answers.
    void aboutRequested();
    void websiteRequested();
    void otherAppsRequested();

private Q_SLOTS:
    void on_AddItem(int imageDataIndex, QImage image);
    void on_ItemSelected(int imageDataIndex);
    void on_itemMoved(int imageDataIndex);
    void on_itemScaled(int imageDataIndex);
    void on_itemRotated(int imageDataIndex);
    void on_AddURLs(QStringList urls);
    void on_shapeComboBox_currentIndexChanged(int index);
    void on_radiusSpinBox_valueChanged(int arg1);
    void on_backStyleComboBox_currentIndexChanged(int index);
    void on_ColorUpdated1(QColor color);
    void on_ColorUpdated2(QColor color);
    void on_backOrientationComboBox_currentIndexChanged(int index);
    void on__3dEffectCheckBox_clicked();
    void on_backCheckBox_clicked();
    void on_borderCheckBox_clicked();
    void on_BorderColorUpdated(QColor color);
    void on_borderWidthSpinBox_valueChanged(int arg1);
    void on_glossyCheckBox_clicked();
    void on_badgeCheckBox_clicked();
    void on_badgeTextSizeSpinBox_valueChanged(int arg1);
    void on_badgeLineWidthSpinBox_valueChanged(int arg1);
    void on_BadgeBackColorUpdated(QColor color);
    void on_BadgeBorderColorUpdated(QColor color);
    void on_badgeTextLineEdit_textChanged(QString arg1);
    void on_badgeFontComboBox_currentFontChanged(QFont f);
    void on_BadgeTextColorUpdated(QColor color);
    void on_badgePositionComboBox_currentIndexChanged(int index);
    void on_badgeOrientationComboBox_currentIndexChanged(int index);
    void on_ListWidget_itemSelectionChanged();
    void on_upToolButton_clicked();
    void on_downToolButton_clicked();
    void on_ListWidget_itemMoved(int oldPos, int newPos);
    void on_ListWidget_moveRequested(int oldPos, int newPos);
    void on_positionXSpinBox_valueChanged(int arg1);
    void on_positionYSpinBox_valueChanged(int arg1);
    void on_goButton_clicked();
    void on_exportImages(QList<int> LImageResolution);
    void on_aboutButton_clicked();
    void on_canvasSizeComboBox_currentIndexChanged(int index);
    void on_deleteToolButton_clicked();
    void on_websiteButton_clicked();
    void on_clipImageCheckBox_clicked();
    void on_sizeSpinBox_valueChanged(int arg1);
    void on_rotateSpinBox_valueChanged(int arg1);
    void on_otherAppsButton_clicked();

private:
    std::unique_ptr<Ui::EditorForm> ui;
    // Slot guard: false while the form itself changes guarded controls. A plain flag: whoever
    // lowers it raises it again at its end.
    bool isSlotEnabled = false;
    // Pending PNG outputs of the last export, in the order of the requested resolutions.
    QList<PendingPng> exportImageList;
    EditedDocument* history = nullptr;
    std::unique_ptr<PictureList> pictures;
    std::unique_ptr<StyleControls> style;
    SizePreview* preview = nullptr;
    PreviewScheduler* previewer = nullptr;

    void buildLayouts();
    void initControls();
    void connectSignals();
    void connectHistory();
    PreviewScheduler::Request previewRequest() const;
    void loadStyle();
    void saveStyle();

    void applyColor(ColorSwatch* swatch, QColor IconStyle::*field, const QColor& color);
    void applyBadgeFont(const QFont& font);

    bool chooseExportFolder(QString& folder);
    void writeIcoFile(QString fileName);
    void writePngFiles();
    void writeOtherTarget(int output);
};
