#include "stylecontrols.h"
#include "ui_editorform.h"

StyleControls::StyleControls(Ui::EditorForm& ui, bool& slotsEnabled)
    : ui(ui), slotsEnabled(slotsEnabled) {}

void StyleControls::showWidgets(std::initializer_list<QWidget*> widgets, bool visible) {
    for (QWidget* widget : widgets)
        widget->setVisible(visible);
}

void StyleControls::showValue(QSpinBox* box, int value) {
    if (box->value() != value)
        box->setValue(value);
}

void StyleControls::show(const IconStyle& style) {
    if (shown && *shown == style)
        return;
    const bool wereEnabled = std::exchange(slotsEnabled, false);
    showContainer(style);
    showBadge(style);
    ui.canvasSizeComboBox->setCurrentIndex(style.canvasFactor - 1);
    ui.clipImageCheckBox->setChecked(style.clipImage);
    slotsEnabled = wereEnabled;
    shown = style;
}

void StyleControls::showContainer(const IconStyle& s) {
    ui.shapeComboBox->setCurrentIndex(s.shape);
    showWidgets({ui.radiusLabel, ui.radiusSpinBox}, s.shape == 1);
    showValue(ui.radiusSpinBox, s.radius);
    ui.backCheckBox->setChecked(s.useBackground);
    ui.backGroupBox->setVisible(s.useBackground);
    ui.backStyleComboBox->setCurrentIndex(s.backStyle);
    showGradientControls(s.backStyle);
    ui.backOrientationComboBox->setCurrentIndex(s.backOrientation);
    showSwatch(ui.backColor1Widget, s.backColor1);
    showSwatch(ui.backColor2Widget, s.backColor2);
    ui.effect3dCheckBox->setChecked(s.useBack3dEffect);
    ui.borderCheckBox->setChecked(s.useBorder);
    showSwatch(ui.borderColorWidget, s.borderColor);
    showValue(ui.borderWidthSpinBox, s.borderWidth);
    ui.borderGroupBox->setVisible(s.useBorder);
    ui.glossyCheckBox->setChecked(s.useGlossy);
}

void StyleControls::showBadge(const IconStyle& s) {
    ui.badgeCheckBox->setChecked(s.useBadge);
    ui.badgeGroupBox->setVisible(s.useBadge);
    // Set only when it differs, so the cursor stays where the user types.
    if (ui.badgeTextLineEdit->text() != s.badgeText)
        ui.badgeTextLineEdit->setText(s.badgeText);
    showSwatch(ui.badgeTextColorWidget, s.badgeTextColor);
    showValue(ui.badgeTextSizeSpinBox, s.badgeTextSize);
    if (ui.badgeFontComboBox->currentFont() != s.badgeTextFont)
        ui.badgeFontComboBox->setCurrentFont(s.badgeTextFont);
    showSwatch(ui.badgeBackColorWidget, s.badgeBackColor);
    showSwatch(ui.badgeBorderColorWidget, s.badgeBorderColor);
    showValue(ui.badgeLineWidthSpinBox, s.badgeLineWidth);
    ui.badgeOrientationComboBox->setCurrentIndex(s.badgeOrientation);
    fillBadgePositions(s);
}

void StyleControls::showGradientControls(int backStyle) {
    showWidgets({ui.backColor2Label, ui.backColor2Widget, ui.backOrientationLabel,
                 ui.backOrientationComboBox},
                backStyle != 0);
}

void StyleControls::fillBadgePositions(const IconStyle& style) {
    const bool horizontal = style.badgeOrientation == 1;
    const QStringList positions = horizontal ? QStringList{tr("Bottom"), tr("Top")}
                                             : QStringList{tr("Top Left"), tr("Top Right"),
                                                           tr("Bottom Left"), tr("Bottom Right")};
    QStringList listed;
    for (int i = 0; i < ui.badgePositionComboBox->count(); ++i)
        listed << ui.badgePositionComboBox->itemText(i);
    if (listed != positions) {
        ui.badgePositionComboBox->clear();
        ui.badgePositionComboBox->addItems(positions);
    }
    ui.badgePositionComboBox->setCurrentIndex(horizontal ? style.badgeOrientationHorizontal
                                                         : style.badgeOrientationDiagonal);
}

void StyleControls::showSwatch(ColorSwatch* swatch, const QColor& color) {
    if (swatch->color == color)
        return;
    swatch->color = color;
    swatch->update();
}
