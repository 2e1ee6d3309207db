#pragma once

#include <QStringList>
#include <QTextStream>

// `glimmerdock render ...`, `--help` and `--version`: icons from saved projects without a window,
// a display or the window's settings.
namespace Cli {

// Whether the arguments ask for the command line rather than the window.
bool isCommandLine(int argc, char** argv);

// The whole process of the command line: answers its exit code.
int main(int argc, char** argv);

// Runs the command in `arguments` (the program first) inside an application object; help and
// version go to `out`, problems to `err` one line each, with `progress` a line per picture too.
// Answers 0 when everything was written, 1 when something could not be read or written, 2 for a
// usage error.
int run(const QStringList& arguments, QTextStream& out, QTextStream& err, bool progress = false);

} // namespace Cli
