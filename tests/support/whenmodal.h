#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include <functional>

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

} // namespace TestSupport
