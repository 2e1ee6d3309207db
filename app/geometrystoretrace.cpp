// The store's trace lines end up in the application's debug log, on every platform.
#include "geometrystore.h"

#include "trace/trace.h"

namespace GeometryStore {

void trace(const std::wstring& line) {
    qCDebug(lcApp).nospace().noquote() << QString::fromStdWString(line);
}

} // namespace GeometryStore
