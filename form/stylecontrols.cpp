#include "stylecontrols.h"
#include "ui_editorform.h"

#include "document/localglobal.h"

using LocalGlobal::iconStyle;

StyleControls::StyleControls(Ui::EditorForm& ui, bool& slotsEnabled)
    : ui(ui), slotsEnabled(slotsEnabled) {}

void StyleControls::setTextPixelSize(QFont& font, int size) {
    // A pixel size of 0 is allowed by the control but means nothing to QFont.
    if (size > 0)
        font.setPixelSize(size);
}

void StyleControls::showWidgets(std::initializer_list<QWidget*> widgets, bool visible) {
    for (QWidget* widget : widgets)
        widget->setVisible(visible);
}

void StyleControls::show() {
    showContainer();
    showBadge();
    ui.canvasSizeComboBox->setCurrentIndex(iconStyle.canvasSizeIndex - 1);
    ui.clipImageCheckBox->setChecked(iconStyle.clipImage);
}

void StyleControls::showContainer() {
    const IconStyle& s = iconStyle;
    ui.shapeComboBox->setCurrentIndex(s.shape);
    showWidgets({ui.radiusLabel, ui.radiusSpinBox}, ui.shapeComboBox->currentIndex() == 1);
    ui.radiusSpinBox->setValue(s.radius);
    ui.backCheckBox->setChecked(s.useBackground);
    ui.backGroupBox->setVisible(ui.backCheckBox->isChecked());
    ui.backStyleComboBox->setCurrentIndex(s.backStyle);
    showGradientControls(ui.backStyleComboBox->currentIndex());
    ui.backOrientationComboBox->setCurrentIndex(s.backOrientation);
    showSwatch(ui.backColor1Widget, s.backColor1);
    showSwatch(ui.backColor2Widget, s.backColor2);
    ui._3dEffectCheckBox->setChecked(s.useBack3dEffect);
    ui.borderCheckBox->setChecked(s.useBorder);
    showSwatch(ui.borderColorWidget, s.borderColor);
    ui.borderWidthSpinBox->setValue(s.borderWidth);
    ui.borderGroupBox->setVisible(ui.borderCheckBox->isChecked());
    ui.glossyCheckBox->setChecked(s.useGlossy);
}

void StyleControls::showBadge() {
    IconStyle& s = iconStyle;
    ui.badgeCheckBox->setChecked(s.useBadge);
    ui.badgeGroupBox->setVisible(ui.badgeCheckBox->isChecked());
    ui.badgeTextLineEdit->setText(s.badgeText);
    showSwatch(ui.badgeTextColorWidget, s.badgeTextColor);
    ui.badgeTextSizeSpinBox->setValue(s.badgeTextSize);
    setTextPixelSize(s.badgeTextFont, s.badgeTextSize);
    ui.badgeFontComboBox->setCurrentFont(s.badgeTextFont);
    showSwatch(ui.badgeBackColorWidget, s.badgeBackColor);
    showSwatch(ui.badgeBorderColorWidget, s.badgeBorderColor);
    ui.badgeLineWidthSpinBox->setValue(s.badgeLineWidth);
    ui.badgeOrientationComboBox->setCurrentIndex(s.badgeOrientation);
    fillBadgePositions(s.badgeOrientation);
}

void StyleControls::showGradientControls(int backStyle) {
    showWidgets({ui.backColor2Label, ui.backColor2Widget, ui.backOrientationLabel,
                 ui.backOrientationComboBox},
                backStyle != 0);
}

void StyleControls::fillBadgePositions(int orientation) {
    slotsEnabled = false;
    ui.badgePositionComboBox->clear();
    int position = iconStyle.badgeOrientationDiagonal;
    if (orientation == 1) {
        ui.badgePositionComboBox->addItems({tr("Bottom"), tr("Top")});
        position = iconStyle.badgeOrientationHorizontal;
    } else {
        ui.badgePositionComboBox->addItems(
            {tr("Top Left"), tr("Top Right"), tr("Bottom Left"), tr("Bottom Right")});
    }
    ui.badgePositionComboBox->setCurrentIndex(position);
    slotsEnabled = true;
}

// The width follows the badge font, the height the text size in the labels' own family.
void StyleControls::measureBadgeText() {
    ui.tempLabel->setText(iconStyle.badgeText);
    QFont font = ui.tempLabel->font();
    setTextPixelSize(font, iconStyle.badgeTextSize);
    ui.tempLabel->setFont(font);
    ui.tempLabel->adjustSize();
    ui.tempLabel2->setText(iconStyle.badgeText);
    ui.tempLabel2->setFont(iconStyle.badgeTextFont);
    ui.tempLabel2->adjustSize();
    iconStyle.badgeTextWidth = ui.tempLabel2->width();
    iconStyle.badgeTextHeight = ui.tempLabel->height();
}

// Writing the colour emits nothing: the swatch announces only colours the user chose.
void StyleControls::showSwatch(ColorSwatch* swatch, const QColor& color) {
    swatch->color = color;
    swatch->repaint();
}
