#pragma once

#include <QByteArray>
#include <QtGlobal>

// Whether each row of a PNG's image data goes through the filter that suits it best, or none.
enum class PngFiltering { None, Adaptive };

// The image data of a PNG before compression: every row of `raw` (`rowBytes` each, bytes
// `distance` apart from the same byte of the pixel to the left) behind the byte naming its
// filter; adaptive filtering takes for each row the filter whose output has the smallest sum of
// absolute values, as libpng's adaptive choice does. With `sample`, only the rows that rank the
// candidates: bands of 8 rows, one in every 4 bands of a picture from 64 rows on, every row of a
// smaller one.
QByteArray filteredRows(const QByteArray& raw, int rowBytes, int distance, PngFiltering filtering,
                        bool sample = false);
