#pragma once

#include "canvas/kbwidget.h"
#include "form/brasswickform.h"

#include <QString>

namespace TestSupport {

// The child of `parent` named `name`; a missing one ends the test run, as a renamed control must.
template <class T> T* child(const QObject* parent, const char* name) {
    T* widget = parent->findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no %s named %s", T::staticMetaObject.className(), name);
    return widget;
}

// Test mode, and quiet about the slots fed by the form's own signals, which follow the by-name
// pattern on purpose. Call from initTestCase() of tests that build the form.
void initFormTestEnvironment();

// The editor form as the user meets it: built, shown and exposed, so every repaint really paints.
struct ShownForm {
    BrasswickForm form;

    ShownForm();

    // The form's widget named `name`.
    template <class T> T* get(const char* name) { return child<T>(&form, name); }
    KBWidget* canvas() { return get<KBWidget>("widget"); }
};

} // namespace TestSupport
