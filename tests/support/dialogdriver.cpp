#include "dialogdriver.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCompleter>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace TestSupport {

void chooseInFileDialog(QFileDialog* dialog, const QString& folder, const QString& name,
                        int tries) {
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(edit);
    dialog->setDirectory(folder);
    edit->setText(name);
    if (QCompleter* completer = edit->completer())
        completer->popup()->hide();
    QMetaObject::invokeMethod(dialog, "accept");
    if (!dialog->isVisible())
        return;
    if (tries > 0) {
        whenModal<QFileDialog>(
            [=](QFileDialog* again) { chooseInFileDialog(again, folder, name, tries - 1); });
        return;
    }
    qWarning("the file dialog refused the choice");
    dialog->reject();
}

QStringList messagesDuring(const std::function<void()>& run) {
    QStringList texts;
    QTimer catcher;
    catcher.setInterval(20);
    QObject::connect(&catcher, &QTimer::timeout, [&texts] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        if (QAbstractButton* yes = box->button(QMessageBox::Yes)) {
            QTest::mouseClick(yes, Qt::LeftButton);
            return;
        }
        texts.append(box->text());
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    catcher.start();
    run();
    return texts;
}

} // namespace TestSupport
