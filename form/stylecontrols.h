#pragma once

#include <QColor>
#include <QCoreApplication>
#include <QFont>

#include <initializer_list>

class ColorSwatch;
class QWidget;

namespace Ui {
class EditorForm;
}

// The style record shown in the form's controls: each control set from its field, the controls
// that depend on another shown or hidden with it, the badge text measured for the renderer.
// Shares the form's slot guard.
class StyleControls {
    // Its texts are the form's.
    Q_DECLARE_TR_FUNCTIONS(EditorForm)

public:
    StyleControls(Ui::EditorForm& ui, bool& slotsEnabled);

    // Pushes the record into the controls. A control that changes runs its slot, which writes the
    // same value back; the visibility of dependent controls is set here for the ones that do not.
    void show();
    void showGradientControls(int backStyle);
    // The position list of the badge orientation, showing that orientation's kept position.
    void fillBadgePositions(int orientation);
    void measureBadgeText();
    // Writing the colour emits nothing: the swatch announces only colours the user chose.
    void showSwatch(ColorSwatch* swatch, const QColor& color);

    static void setTextPixelSize(QFont& font, int size);
    static void showWidgets(std::initializer_list<QWidget*> widgets, bool visible);

private:
    Ui::EditorForm& ui;
    bool& slotsEnabled;

    void showContainer();
    void showBadge();
};
