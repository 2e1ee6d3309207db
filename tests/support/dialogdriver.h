#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include <QString>
#include <QStringList>

#include <functional>

class QFileDialog;

namespace TestSupport {

// Closes the open modal widgets, innermost first (a bounded number: one may refuse).
inline void closeModals() {
    for (int i = 0; i < 10 && QApplication::activeModalWidget(); ++i)
        QApplication::activeModalWidget()->close();
}

// Runs `answer` on the dialog of type T once it is the active modal widget, as a user would
// answer it. Gives up after about three seconds, closing whatever is modal, so a test whose
// dialog never came (or came as another type) fails instead of hanging.
template <class T> void whenModal(std::function<void(T*)> answer, int attempts = 300) {
    QTimer::singleShot(10, [answer, attempts]() {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            answer(dialog);
            // A failed check inside the answer returns early: end every dialog left open.
            if (QTest::currentTestFailed())
                closeModals();
            return;
        }
        if (attempts > 0) {
            whenModal<T>(answer, attempts - 1);
            return;
        }
        qWarning("expected dialog never showed");
        closeModals();
    });
}

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
