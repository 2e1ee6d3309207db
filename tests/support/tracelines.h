#pragma once

#include <QLoggingCategory>
#include <QStringList>

namespace TestSupport {

// Switches the debug lines of one logging category on while it lives, whatever the logging rules
// of the run say, and keeps the lines of that category. Every line still reaches the test's own
// message handler, so QTest::ignoreMessage works on them. One at a time.
class TraceLines {
public:
    explicit TraceLines(const char* category);
    ~TraceLines();
    TraceLines(const TraceLines&) = delete;
    TraceLines& operator=(const TraceLines&) = delete;

    // How many kept lines read exactly `line`.
    int count(const QString& line) const { return int(kept.count(line)); }

private:
    static void filter(QLoggingCategory* category);
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text);

    static inline const char* name = nullptr;
    static inline QStringList kept;
    static inline QtMessageHandler previousHandler = nullptr;
    static inline QLoggingCategory::CategoryFilter previousFilter = nullptr;
};

} // namespace TestSupport
