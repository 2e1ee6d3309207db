#include "formlayout.h"
#include "ui_editorform.h"

#include <QBoxLayout>
#include <QCoreApplication>
#include <QGridLayout>

#include <initializer_list>

namespace {

// One entry of a box layout: a widget, or a fixed spacing in pixels.
struct BoxEntry {
    BoxEntry(QWidget* widget) : widget(widget) {}
    BoxEntry(int spacing) : spacing(spacing) {}
    QWidget* widget = nullptr;
    int spacing = 0;
};

template <class Box>
Box* box(std::initializer_list<BoxEntry> entries, Qt::Alignment alignment = {}) {
    auto* layout = new Box;
    for (const BoxEntry& entry : entries) {
        if (entry.widget)
            layout->addWidget(entry.widget);
        else
            layout->addSpacing(entry.spacing);
    }
    if (alignment)
        layout->setAlignment(alignment);
    return layout;
}

// A grid with one row per pair: label in column 0, control in column 1.
QGridLayout* labelGrid(std::initializer_list<std::pair<QWidget*, QWidget*>> rows) {
    auto* grid = new QGridLayout;
    int row = 0;
    for (const auto& [label, control] : rows) {
        grid->addWidget(label, row, 0);
        if (control)
            grid->addWidget(control, row, 1);
        ++row;
    }
    return grid;
}

// Another label and control column pair to the right of `grid`'s, from its first row down.
void addLabelColumn(QGridLayout* grid, std::initializer_list<std::pair<QWidget*, QWidget*>> rows) {
    const int column = grid->columnCount();
    grid->setColumnMinimumWidth(column, 20);
    int row = 0;
    for (const auto& [label, control] : rows) {
        grid->addWidget(label, row, column + 1);
        grid->addWidget(control, row, column + 2);
        ++row;
    }
}

// The top bar over the canvas column and the tab widget.
void layoutFrame(Ui::EditorForm& u, QWidget* form, QWidget* preview) {
    auto* topBar = new QHBoxLayout;
    topBar->addLayout(
        box<QHBoxLayout>({u.outputLabel, u.outputComboBox, u.goButton}, Qt::AlignLeft));
    topBar->addLayout(box<QHBoxLayout>(
        {u.otherAppsButton, u.websiteButton, u.aboutSeparator, u.aboutButton}, Qt::AlignRight));

    auto* leftColumn = new QVBoxLayout;
    leftColumn->addWidget(u.canvas);
    leftColumn->addLayout(
        box<QHBoxLayout>({u.noteLabel, u.canvasSizeComboBox, 12, u.showAtLabel, u.showAtComboBox}));
    // The list's buttons stand beside it, so the column fits the first window's height.
    auto* list = new QHBoxLayout;
    list->addWidget(u.listWidget);
    list->addLayout(
        box<QVBoxLayout>({u.upToolButton, u.downToolButton, u.deleteToolButton}, Qt::AlignTop));
    leftColumn->addLayout(list, 1);
    u.canvas->setLayout(box<QHBoxLayout>({u.dropImageLabel}));

    auto* mainArea = new QHBoxLayout;
    mainArea->addLayout(leftColumn);
    mainArea->addLayout(box<QVBoxLayout>({preview, u.tabWidget}));

    auto* formLayout = new QVBoxLayout(form);
    formLayout->addLayout(topBar);
    formLayout->addLayout(mainArea);
}

void layoutContainerPage(Ui::EditorForm& u) {
    auto* container = new QVBoxLayout(u.containerPage);
    container->addLayout(box<QHBoxLayout>(
        {u.shapeLabel, u.shapeComboBox, 40, u.radiusLabel, u.radiusSpinBox}, Qt::AlignLeft));
    for (QWidget* entry :
         std::initializer_list<QWidget*>{u.clipImageCheckBox, u.backCheckBox, u.backGroupBox,
                                         u.borderCheckBox, u.borderGroupBox, u.glossyCheckBox})
        container->addWidget(entry);
    container->setAlignment(Qt::AlignTop);

    auto* background = new QVBoxLayout(u.backGroupBox);
    background->addLayout(
        box<QHBoxLayout>({u.backStyleLabel, u.backStyleComboBox, 20, u.backColor1Label,
                          u.backColor1Widget, 10, u.backColor2Label, u.backColor2Widget, 20,
                          u.backOrientationLabel, u.backOrientationComboBox},
                         Qt::AlignLeft));
    background->addWidget(u.effect3dCheckBox);

    u.borderGroupBox->setLayout(box<QHBoxLayout>(
        {u.borderColorLabel, u.borderColorWidget, 10, u.borderWidthLabel, u.borderWidthSpinBox},
        Qt::AlignLeft));
}

void layoutBadgePage(Ui::EditorForm& u) {
    u.badgePage->setLayout(
        box<QVBoxLayout>({u.badgeCheckBox, u.badgeGroupBox, u.badgeCoveredLabel}, Qt::AlignTop));
    // Two columns of pairs: the text's on the left, the band's on the right.
    QGridLayout* badge = labelGrid({{u.badgeTextLabel, u.badgeTextLineEdit},
                                    {u.badgeTextColorLabel, u.badgeTextColorWidget},
                                    {u.badgeTextSizeLabel, u.badgeTextSizeSpinBox},
                                    {u.badgeFontLabel, u.badgeFontComboBox},
                                    {u.badgeOrientationLabel, u.badgeOrientationComboBox}});
    addLabelColumn(badge, {{u.badgeBackColorLabel, u.badgeBackColorWidget},
                           {u.badgeBorderColorLabel, u.badgeBorderColorWidget},
                           {u.badgeLineWidthLabel, u.badgeLineWidthSpinBox},
                           {u.badgePositionLabel, u.badgePositionComboBox}});
    badge->setAlignment(Qt::AlignTop);
    u.badgeGroupBox->setLayout(badge);
}

// The picture beside its values, the notes below both: the page fits the first window's height.
void layoutSelectedObjectPage(Ui::EditorForm& u) {
    QGridLayout* picture =
        labelGrid({{u.selectedImageLabel, nullptr}, {u.selectedImageNameLabel, nullptr}});
    QGridLayout* values = labelGrid({{u.positionXLabel, u.positionXSpinBox},
                                     {u.positionYLabel, u.positionYSpinBox},
                                     {u.sizeLabel, u.sizeSpinBox},
                                     {u.rotateLabel, u.rotateSpinBox}});
    values->addWidget(u.sizePercentLabel, 2, 2);
    picture->setAlignment(Qt::AlignCenter);
    values->setAlignment(Qt::AlignVCenter);
    auto* pictureAndValues = new QHBoxLayout;
    pictureAndValues->addLayout(picture);
    pictureAndValues->addSpacing(24);
    pictureAndValues->addLayout(values);
    pictureAndValues->setAlignment(Qt::AlignCenter);
    auto* selectedObject = new QVBoxLayout(u.selectedObjectPage);
    selectedObject->addLayout(pictureAndValues);
    selectedObject->addLayout(
        box<QHBoxLayout>({u.sizeRangeLabel, u.sizeRangeEdit}, Qt::AlignHCenter));
    selectedObject->addLayout(
        box<QVBoxLayout>({u.objectNoteLabel, u.objectTipsLabel}, Qt::AlignHCenter));
    selectedObject->setAlignment(Qt::AlignCenter);
}

} // namespace

namespace FormLayout {

void explain(Ui::EditorForm& u) {
    const std::pair<QWidget*, const char*> tips[] = {
        {u.canvas, "Drop pictures here. Click one to select it, drag to move it, turn the wheel "
                   "to zoom and Shift + wheel to turn it."},
        {u.listWidget,
         "The pictures, the top one first. Drag a row to put it above or below others."},
        {u.upToolButton, "Move the selected picture one layer up"},
        {u.downToolButton, "Move the selected picture one layer down"},
        {u.deleteToolButton, "Delete the selected picture"},
        {u.canvasSizeComboBox, "Size the icon is drawn at; larger sizes keep more detail"},
        {u.goButton, "Write the icon"},
        {u.backColor1Widget, "Click to choose the first background colour"},
        {u.backColor2Widget, "Click to choose the second background colour"},
        {u.borderColorWidget, "Click to choose the border colour"},
        {u.badgeTextColorWidget, "Click to choose the badge text colour"},
        {u.badgeBackColorWidget, "Click to choose the badge colour"},
        {u.badgeBorderColorWidget, "Click to choose the colour of the badge's edges"},
        {u.radiusSpinBox, "Radius of the rounded corners, in canvas pixels"},
        {u.borderWidthSpinBox, "Border width, in canvas pixels"},
        {u.badgeTextSizeSpinBox, "Height of the badge text, in canvas pixels"},
        {u.badgeLineWidthSpinBox, "Width of the badge's edges, in canvas pixels"},
        {u.positionXSpinBox, "Left edge of the selected picture, in canvas pixels"},
        {u.positionYSpinBox, "Top edge of the selected picture, in canvas pixels"},
        {u.sizeSpinBox, "Zoom of the selected picture, in percent of its own size"},
        {u.rotateSpinBox, "Turn of the selected picture, in degrees"},
        {u.sizeRangeEdit, "The pixel sizes of the icon files and entries the selected picture is "
                          "drawn in, both included: a detailed picture for large sizes, a simple "
                          "one for small ones"},
        {u.showAtComboBox, "Show the icon as one size of the chosen output holds it, pixel by "
                           "pixel"},
        {u.otherAppsButton, "More programs by Kestrelby"},
        {u.websiteButton, "Open Kestrelby's website"}};
    for (const auto& [widget, tip] : tips)
        widget->setToolTip(QCoreApplication::translate("EditorForm", tip));
    // Sized to its text and on a light patch of its own, so a dark background cannot swallow it.
    u.dropImageLabel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    u.dropImageLabel->setStyleSheet(
        QStringLiteral("QLabel { color: black; background: rgba(255, 255, 255, 210); padding: 6px; "
                       "border-radius: 4px; }"));
}

void orderTabs(Ui::EditorForm& u) {
    // Top bar, canvas, picture list and its buttons, then the pages: the order the eye takes.
    QWidget* const order[] = {
        u.outputComboBox, u.goButton,           u.otherAppsButton, u.websiteButton, u.aboutButton,
        u.canvas,         u.canvasSizeComboBox, u.showAtComboBox,  u.listWidget,    u.upToolButton,
        u.downToolButton, u.deleteToolButton,   u.tabWidget};
    for (size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

QStringList cutControls(const QWidget* form, const QWidget* viewport) {
    QStringList cut;
    for (const QWidget* control : form->findChildren<QWidget*>()) {
        const QRect shown(control->mapTo(viewport, QPoint(0, 0)), control->size());
        if (control->isVisible() && !control->objectName().isEmpty() &&
            !viewport->rect().contains(shown))
            cut << control->objectName();
    }
    return cut;
}

void build(Ui::EditorForm& ui, QWidget* form, QWidget* preview) {
    layoutFrame(ui, form, preview);
    layoutContainerPage(ui);
    layoutBadgePage(ui);
    layoutSelectedObjectPage(ui);
}

} // namespace FormLayout
