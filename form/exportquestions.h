#pragma once

#include "output/outputfailure.h"

#include <QString>
#include <QStringList>

class QWidget;

// The questions any export asks, whatever the target: file and folder choices starting where the
// last ones ended, the question before files are replaced, and telling the user about files that
// could not be written.
namespace ExportQuestions {

// `fileName` with "." and `suffix` appended when it has no suffix at all.
QString withSuffix(const QString& fileName, const QString& suffix);

// The text of the warning naming every file that could not be written and why.
QString failureMessage(const OutputFailures& failures);

// Shows one warning for all `failures` over `parent`; shows nothing when there are none.
void reportFailures(QWidget* parent, const OutputFailures& failures);

// Asks for a file to create in the save dialog, starting in the remembered icon folder, with
// `suffix` added by the dialog; answers the path with native separators, having remembered its
// folder; empty when cancelled.
QString askFileName(QWidget* parent, const QString& title, const QString& filter,
                    const QString& suffix);

// Asks once, naming how many, before those of `files` that exist would be replaced; answers
// whether to go on (true when none exist).
bool mayReplace(QWidget* parent, const QStringList& files);

// Asks for the PNG folder in the folder browser, starting in the remembered folder. Answers true
// and remembers the folder only when an existing folder was chosen.
bool chooseExportFolder(QString& folder);

QString browseForFolder(const QString& title, const QString& startFolder);
QString documentsFolder();

} // namespace ExportQuestions
