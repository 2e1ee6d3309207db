// What every fuzz target needs before its first input: the Qt application that image plugins and
// fonts look for, headless, and ImageMagick ready.
#include "fuzz/fuzzing.h"

#include <Magick++.h>
#include <QGuiApplication>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Warnings about each broken input would drown libFuzzer's report.
    qputenv("QT_LOGGING_RULES", "*.debug=false;*.info=false;*.warning=false");
    Magick::InitializeMagick(nullptr);
    // libFuzzer's own flags are not the application's.
    static int applicationArgc = *argc > 0 ? 1 : 0;
    static QGuiApplication application(applicationArgc, *argv);
    return 0;
}
