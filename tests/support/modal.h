#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace TestSupport {

// Runs `action` on the dialog of type T once it is the active modal widget; the caller then opens
// it. Gives up after `attempts` looks (closing whatever is modal, so the test fails instead of
// hanging); a failed check inside `action` closes every dialog it left open.
template <typename T> void whenModal(std::function<void(T*)> action, int attempts = 300) {
    QTimer::singleShot(10, [action, attempts]() {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            action(dialog);
            while (QTest::currentTestFailed() && QApplication::activeModalWidget())
                QApplication::activeModalWidget()->close();
            return;
        }
        if (attempts > 0) {
            whenModal<T>(action, attempts - 1);
            return;
        }
        qWarning("expected dialog never showed");
        if (auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            other->reject();
    });
}

} // namespace TestSupport
