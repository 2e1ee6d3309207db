#pragma once

#include "output/outputfailure.h"
#include "output/pendingpng.h"

#include <QImage>
#include <QList>
#include <QString>

class QWidget;

// The steps of the Go button that do not belong to one writer: file and folder choices with the
// folders remembered in the settings store (group "Path"), PNG names, and telling the user about
// files that could not be written.
namespace OutputFlow {

// `fileName` with ".ico" appended when it has no suffix at all.
QString withIcoSuffix(const QString& fileName);

// The text of the warning naming every file that could not be written and why.
QString failureMessage(const OutputFailures& failures);

// Shows one warning for all `failures` over `parent`; shows nothing when there are none.
void reportFailures(QWidget* parent, const OutputFailures& failures);

// Asks for a file to create in the save dialog, starting in the remembered icon folder, with
// `suffix` added by the dialog; answers the path with native separators, having remembered its
// folder; empty when cancelled.
QString askFileName(QWidget* parent, const QString& title, const QString& filter,
                    const QString& suffix);

// Asks for the icon file in the save dialog, starting in the remembered folder. Answers the path
// with native separators and ".ico" ensured, having remembered its folder; empty when cancelled.
QString askIconFileName(QWidget* parent);

// Asks once, naming how many, before files of `images` that exist would be replaced; answers
// whether to go on (true when none exist).
bool mayReplace(QWidget* parent, const QList<PendingPng>& images);

// Asks for the PNG folder in the folder browser, starting in the remembered folder. Answers true
// and remembers the folder only when an existing folder was chosen.
bool chooseExportFolder(QString& folder);

QString browseForFolder(const QString& title, const QString& startFolder);
QString documentsFolder();

} // namespace OutputFlow
