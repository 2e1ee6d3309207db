#pragma once

#include <QLoggingCategory>

// Trace lines of each subsystem; switch them with QT_LOGGING_RULES, e.g.
// "glimmerdock.*.debug=false".
Q_DECLARE_LOGGING_CATEGORY(lcPicture)
Q_DECLARE_LOGGING_CATEGORY(lcDocument)
Q_DECLARE_LOGGING_CATEGORY(lcCanvas)
Q_DECLARE_LOGGING_CATEGORY(lcForm)
Q_DECLARE_LOGGING_CATEGORY(lcOutput)
Q_DECLARE_LOGGING_CATEGORY(lcApp)
