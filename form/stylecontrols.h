#pragma once

#include "document/iconstyle.h"

#include <QColor>
#include <QCoreApplication>
#include <QFont>

#include <initializer_list>
#include <optional>

class ColorSwatch;
class QSpinBox;
class QWidget;

namespace Ui {
class EditorForm;
}

// The icon style shown in the form's controls: each control set from its field, the controls
// that depend on another shown or hidden with it. Its changes of controls run no edits: it lowers
// the form's slot guard while it shows.
class StyleControls {
    // Its texts are the form's.
    Q_DECLARE_TR_FUNCTIONS(EditorForm)

public:
    StyleControls(Ui::EditorForm& ui, bool& slotsEnabled);

    // Shows `style` in the controls; nothing is done when they show it already.
    void show(const IconStyle& style);

    static void showWidgets(std::initializer_list<QWidget*> widgets, bool visible);
    // Sets the box only to another value: a spin box repaints on every value it is given.
    static void showValue(QSpinBox* box, int value);

private:
    Ui::EditorForm& ui;
    bool& slotsEnabled;
    std::optional<IconStyle> shown;

    void showContainer(const IconStyle& style);
    void showBadge(const IconStyle& style);
    void showGradientControls(int backStyle);
    // The position list of the badge orientation, showing that orientation's kept position.
    void fillBadgePositions(const IconStyle& style);
    // Writing the colour emits nothing: the swatch announces only colours the user chose.
    static void showSwatch(ColorSwatch* swatch, const QColor& color);
};
