#include "resolutionlist.h"

#include "document/document.h"
#include "settings/settingsstore.h"
#include "trace/trace.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

QString sizeKey(int row) {
    return StoredSettings::key(SettingKey::ExportSizeRow).arg(row);
}

} // namespace

namespace ResolutionList {

QString rowText(int size) {
    return QStringLiteral("%1x%1").arg(size);
}

std::optional<int> rowValue(const QString& text) {
    bool ok = false;
    const int value = text.section(QLatin1Char('x'), 0, 0).toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

std::optional<int> insertionRow(const QStringList& rows, int size) {
    if (rows.size() >= OutputChoice::maxSizes)
        return std::nullopt;
    int row = int(rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        const std::optional<int> value = rowValue(rows.at(i));
        if (!value)
            continue;
        qCDebug(lcOutput).nospace() << *value << " : " << row;
        if (*value == size)
            return std::nullopt;
        if (size < *value) {
            row = i;
            break;
        }
    }
    return row;
}

QStringList defaultRows() {
    return {rowText(16), rowText(32), rowText(48), rowText(256)};
}

QStringList storedRows() {
    SettingsStore settings(SettingsGroup::ExportSize);
    // Every stored value is distinct and in range, so a larger count can only be damage.
    const int count =
        std::clamp(settings.value(StoredSettings::key(SettingKey::ExportSizeCount), 0).toInt(), 0,
                   OutputChoice::maxSizes);
    QList<int> sizes;
    for (int i = 0; i < count; ++i) {
        const int size = settings.value(sizeKey(i), 0).toInt();
        if (size >= 1 && size <= maximumResolution && !sizes.contains(size))
            sizes.append(size);
    }
    if (sizes.isEmpty())
        return defaultRows();
    QStringList rows;
    for (int size : sizes)
        rows.append(rowText(size));
    return rows;
}

QList<int> storedSizes() {
    QList<int> sizes;
    for (const QString& row : storedRows())
        sizes << rowValue(row).value_or(0);
    return sizes;
}

QList<int> storeRows(const QStringList& rows) {
    SettingsStore settings(SettingsGroup::ExportSize);
    // Rows of a longer earlier list go; keys this version does not know stay for the one that
    // wrote them.
    static const QRegularExpression rowKey(
        QLatin1Char('^') + QRegularExpression::escape(sizeKey(0).chopped(1)) + "[0-9]+$");
    for (const QString& key : settings.childKeys()) {
        if (rowKey.match(key).hasMatch())
            settings.remove(key);
    }
    settings.setValue(StoredSettings::key(SettingKey::ExportSizeCount), int(rows.size()));
    QList<int> sizes;
    for (int i = 0; i < rows.size(); ++i) {
        const std::optional<int> value = rowValue(rows.at(i));
        if (!value)
            continue;
        settings.setValue(sizeKey(i), *value);
        sizes.append(*value);
    }
    return sizes;
}

} // namespace ResolutionList
