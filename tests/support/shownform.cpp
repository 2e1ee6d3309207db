#include "shownform.h"

#include "testsupport.h"

#include <QLoggingCategory>

#include <QtTest>

namespace TestSupport {

void initFormTestEnvironment() {
    initTestEnvironment();
    QLoggingCategory::setFilterRules(
        QStringLiteral("qt.core.qmetaobject.connectslotsbyname=false"));
}

ShownForm::ShownForm() {
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        qWarning("form not exposed");
}

} // namespace TestSupport
