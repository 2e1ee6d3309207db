#pragma once

#include "cli/renderrequest.h"

#include <QString>
#include <QStringList>

// The command line's grammar: what `glimmerdock --help` prints and how the arguments of
// `glimmerdock render ...` become a request. Touches no file.
namespace CommandLine {

enum class Action { Render, Help, Version, UsageError };

struct Parsed {
    Action action = Action::UsageError;
    RenderRequest request;
    // For a usage error: one line saying what is wrong.
    QString error;
};

// `arguments` as main gets them, the program first.
Parsed parse(const QStringList& arguments);

QString usage();

} // namespace CommandLine
