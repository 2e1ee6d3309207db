#include "pngfilters.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

enum Filter : uchar { None, Sub, Up, Average, Paeth };

// The neighbour nearest to left + up - corner, ties going left, then up.
int paethPredictor(int left, int up, int corner) {
    const int toLeft = std::abs(up - corner), toUp = std::abs(left - corner),
              toCorner = std::abs(left + up - 2 * corner);
    return toLeft <= toUp && toLeft <= toCorner ? left : toUp <= toCorner ? up : corner;
}

// Filters one row into `out`; answers the sum of the output bytes taken as signed differences,
// the smaller the more alike they are. `row` and `above` have `distance` zeros before them.
template <Filter filter>
quint64 filterRow(const uchar* row, const uchar* above, int length, int distance, uchar* out) {
    quint64 sum = 0;
    for (int i = 0; i < length; ++i) {
        const int left = row[i - distance], up = above[i];
        int predicted = 0;
        if constexpr (filter == Sub)
            predicted = left;
        else if constexpr (filter == Up)
            predicted = up;
        else if constexpr (filter == Average)
            predicted = (left + up) / 2;
        else if constexpr (filter == Paeth)
            predicted = paethPredictor(left, up, above[i - distance]);
        out[i] = uchar(row[i] - predicted);
        sum += quint64(std::abs(int(static_cast<signed char>(out[i]))));
    }
    return sum;
}

quint64 applyFilter(Filter filter, const uchar* row, const uchar* above, int length, int distance,
                    uchar* out) {
    switch (filter) {
    case None:
        return filterRow<None>(row, above, length, distance, out);
    case Sub:
        return filterRow<Sub>(row, above, length, distance, out);
    case Up:
        return filterRow<Up>(row, above, length, distance, out);
    case Average:
        return filterRow<Average>(row, above, length, distance, out);
    case Paeth:
        return filterRow<Paeth>(row, above, length, distance, out);
    }
    return 0;
}

// Whether row `y` is in the sample that ranks the candidates: bands of 8 rows, one in every 4
// bands of a picture from 64 rows on, every row of a smaller one.
bool inSample(qsizetype y, qsizetype height) {
    return height < 64 || y / 8 % 4 == 0;
}

} // namespace

QByteArray filteredRows(const QByteArray& raw, int rowBytes, int distance, PngFiltering filtering,
                        bool sample) {
    const qsizetype height = raw.size() / rowBytes;
    QByteArray filtered;
    filtered.reserve(height * (rowBytes + 1));
    // This row and the one above, each behind `distance` zeros; zeros above the first row, which
    // is always the first filtered.
    QByteArray rows(2 * (distance + rowBytes), '\0');
    QByteArray trial(rowBytes, Qt::Uninitialized);
    uchar* scratch = reinterpret_cast<uchar*>(trial.data());
    for (qsizetype y = 0; y < height; ++y) {
        if (sample && !inSample(y, height))
            continue;
        const char* source = raw.constData() + y * rowBytes;
        filtered.append(char(None)).append(source, rowBytes);
        if (filtering == PngFiltering::None)
            continue;
        uchar* out = reinterpret_cast<uchar*>(filtered.data()) + filtered.size() - rowBytes - 1;
        uchar* row = reinterpret_cast<uchar*>(rows.data()) + distance;
        uchar* above = row + rowBytes + distance;
        std::memcpy(row, source, size_t(rowBytes));
        if (y > 0)
            std::memcpy(above, source - rowBytes, size_t(rowBytes));
        quint64 best = applyFilter(None, row, above, rowBytes, distance, scratch);
        for (Filter filter : {Sub, Up, Average, Paeth}) {
            const quint64 sum = applyFilter(filter, row, above, rowBytes, distance, scratch);
            if (sum < best) {
                best = sum;
                out[0] = filter;
                std::memcpy(out + 1, scratch, size_t(rowBytes));
            }
        }
    }
    return filtered;
}
