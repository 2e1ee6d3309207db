#pragma once

#include "canvas/kbwidget.h"
#include "form/brasswickform.h"

#include <QString>

namespace TestSupport {

// The editor form as the user meets it: built, shown and exposed, so every repaint really paints.
struct ShownForm {
    BrasswickForm form;

    ShownForm();

    // The form's widget named `name`; a missing one ends the test run, as a renamed control must.
    template <class T> T* get(const char* name) {
        T* widget = form.findChild<T*>(QString::fromLatin1(name));
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }
    KBWidget* canvas() { return get<KBWidget>("widget"); }
};

} // namespace TestSupport
