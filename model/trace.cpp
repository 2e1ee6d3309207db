#include "trace.h"

Q_LOGGING_CATEGORY(lcModel, "glimmerdock.model")
Q_LOGGING_CATEGORY(lcCanvas, "glimmerdock.canvas")
Q_LOGGING_CATEGORY(lcForm, "glimmerdock.form")
Q_LOGGING_CATEGORY(lcOutput, "glimmerdock.output")
Q_LOGGING_CATEGORY(lcApp, "glimmerdock.app")
