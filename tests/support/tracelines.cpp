#include "tracelines.h"

#include <QtGlobal>

namespace TestSupport {

TraceLines::TraceLines(const char* category) {
    name = category;
    kept.clear();
    previousHandler = qInstallMessageHandler(&TraceLines::handle);
    // A new filter runs at once for every category, so the previous one must be known first.
    previousFilter = QLoggingCategory::installFilter(nullptr);
    QLoggingCategory::installFilter(&TraceLines::filter);
}

TraceLines::~TraceLines() {
    QLoggingCategory::installFilter(previousFilter);
    qInstallMessageHandler(previousHandler);
    name = nullptr;
}

void TraceLines::filter(QLoggingCategory* category) {
    previousFilter(category);
    if (name && qstrcmp(category->categoryName(), name) == 0)
        category->setEnabled(QtDebugMsg, true);
}

void TraceLines::handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (name && qstrcmp(context.category, name) == 0)
        kept << text;
    previousHandler(type, context, text);
}

} // namespace TestSupport
