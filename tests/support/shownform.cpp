#include "shownform.h"

#include <QtTest>

namespace TestSupport {

ShownForm::ShownForm() {
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        qWarning("form not exposed");
}

} // namespace TestSupport
