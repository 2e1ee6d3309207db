#pragma once

#include "output/exporttarget.h"

#include <QList>
#include <QString>

// Every export target, in the order the window's output list shows them; a document's output
// choice is a position in this list.
namespace ExportTargets {

const QList<const ExportTarget*>& all();

// The target at `position`; the first (the Windows icon) for any position out of range.
const ExportTarget& at(int position);

// The target `output` names; the first for a key this version does not know.
const ExportTarget& of(const OutputChoice& output);

// When `output` names a target this version does not know (a newer version's project), chooses
// the first instead and answers what to tell the user; otherwise answers nothing.
QString chooseKnownTarget(OutputChoice& output);

// The target whose key is `key`, or null.
const ExportTarget* find(const QString& key);

// Every target's key, in list order.
QStringList keys();

} // namespace ExportTargets
