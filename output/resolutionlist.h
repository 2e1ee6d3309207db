#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The rules of the export dialog's list of square PNG resolutions and its place in the settings
// store.
namespace ResolutionList {

// Largest edge length the user can pick.
constexpr int maximumResolution = 1024;

// "64x64" for 64.
QString rowText(int size);

// The number before the first "x" of a row's text; nothing when it is not a number.
std::optional<int> rowValue(const QString& text);

// Row at which `size` goes so that ascending rows stay ascending; nothing when it is already
// there or the list holds OutputChoice::maxSizes rows. Rows whose text is not a resolution are
// passed over.
std::optional<int> insertionRow(const QStringList& rows, int size);

// "16x16", "32x32", "48x48", "256x256".
QStringList defaultRows();

// The rows stored by the last export, in stored order; the defaults when nothing usable is
// stored. Values no dialog could have stored (out of range, repeated) are left out.
QStringList storedRows();
// The edge lengths of storedRows(), in the same order.
QList<int> storedSizes();

// Replaces the stored list with `rows`; answers the edge lengths of the rows, in row order.
QList<int> storeRows(const QStringList& rows);

} // namespace ResolutionList
