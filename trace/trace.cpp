#include "trace.h"

Q_LOGGING_CATEGORY(lcPicture, "glimmerdock.picture")
Q_LOGGING_CATEGORY(lcDocument, "glimmerdock.document")
Q_LOGGING_CATEGORY(lcCanvas, "glimmerdock.canvas")
Q_LOGGING_CATEGORY(lcForm, "glimmerdock.form")
Q_LOGGING_CATEGORY(lcOutput, "glimmerdock.output")
Q_LOGGING_CATEGORY(lcApp, "glimmerdock.app")
