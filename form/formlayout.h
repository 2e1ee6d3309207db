#pragma once

#include <QStringList>

class QWidget;

namespace Ui {
class EditorForm;
}

// How the editor form's controls are laid out: the top bar, the canvas column and the three pages.
namespace FormLayout {

// Puts every control of `ui` into its layout, `preview` above the pages; `form` gets the
// outermost layout.
void build(Ui::EditorForm& ui, QWidget* form, QWidget* preview);

// Tooltips for the controls whose caption does not say what they do, and a "Drop image here"
// that stays readable on any background.
void explain(Ui::EditorForm& ui);

// Tab goes through the top bar, the canvas, the picture list and then the pages.
void orderTabs(Ui::EditorForm& ui);

// The names of the shown controls of `form` that `viewport` does not show whole.
QStringList cutControls(const QWidget* form, const QWidget* viewport);

} // namespace FormLayout
