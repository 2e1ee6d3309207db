#pragma once

#include "support/modal.h"

#include <QString>
#include <QStringList>

#include <functional>

class QFileDialog;

namespace TestSupport {

// Goes to `folder` in a file dialog, puts `name` into its name field and confirms as its Save or
// Choose button does (a click on that button does not reach it offscreen). The dialog fills its
// list while this runs and may take the confirmation as a step into a folder; it is then
// answered again, a bounded number of times, and cancelled when it never takes the choice.
void chooseInFileDialog(QFileDialog* dialog, const QString& folder, const QString& name = {},
                        int tries = 20);

// Runs `run` and answers every message box that shows meanwhile: a question (replace a file?)
// with Yes, any other box with OK after taking its text. Answers those texts in order.
QStringList messagesDuring(const std::function<void()>& run);

} // namespace TestSupport
