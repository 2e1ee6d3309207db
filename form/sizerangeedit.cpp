#include "sizerangeedit.h"

#include "document/layer.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>

#include <algorithm>
#include <iterator>

namespace {

// What the boxes show for a bound the range does not have, ready for when the user adds it: a
// detailed picture is usually drawn from 48 px, a simple one up to 32 px.
constexpr int defaultFrom = 48;
constexpr int defaultTo = 32;

// The sizes icon files and platform sets are written at, which a range is usually bounded by.
constexpr int usualSizes[] = {16, 20, 24, 32, 40, 48, 64, 72, 96, 128, 144, 192, 256, 512, 1024};

// A box of pixel sizes whose arrows, keys and wheel go from one usual size to the next. A typed
// size counts once it is entered: "6" on the way to "64" would pull the other bound along.
class SizeBox : public QSpinBox {
public:
    explicit SizeBox(QWidget* parent) : QSpinBox(parent) {
        setRange(1, largestIconSize);
        setSuffix(QStringLiteral(" px"));
        setKeyboardTracking(false);
    }
    void stepBy(int steps) override { setValue(SizeRangeEdit::steppedSize(value(), steps)); }
};

} // namespace

SizeRangeEdit::SizeRangeEdit(QWidget* parent)
    : QWidget(parent), kind(new QComboBox(this)), from(new SizeBox(this)),
      toLabel(new QLabel(tr("to"), this)), to(new SizeBox(this)) {
    kind->addItems({tr("Every size"), tr("From"), tr("Up to"), tr("From \u2026 to")});
    kind->setObjectName(QStringLiteral("sizeRangeKind"));
    from->setObjectName(QStringLiteral("sizeRangeFrom"));
    to->setObjectName(QStringLiteral("sizeRangeTo"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    for (QWidget* control : {static_cast<QWidget*>(kind), static_cast<QWidget*>(from),
                             static_cast<QWidget*>(toLabel), static_cast<QWidget*>(to)})
        row->addWidget(control);
    connect(kind, &QComboBox::currentIndexChanged, this, [this] { edited(nullptr); });
    connect(from, &QSpinBox::valueChanged, this, [this] { edited(from); });
    connect(to, &QSpinBox::valueChanged, this, [this] { edited(to); });
    showRange(0, 0);
}

SizeRangeEdit::Kind SizeRangeEdit::kindOf(int minSize, int maxSize) {
    if (minSize != 0)
        return maxSize != 0 ? FromTo : From;
    return maxSize != 0 ? UpTo : EverySize;
}

std::pair<int, int> SizeRangeEdit::rangeOf(Kind kind, int from, int to) {
    switch (kind) {
    case From:
        return {from, 0};
    case UpTo:
        return {0, to};
    case FromTo:
        return {std::min(from, to), std::max(from, to)};
    case EverySize:
        break;
    }
    return {0, 0};
}

int SizeRangeEdit::steppedSize(int size, int steps) {
    const auto first = std::begin(usualSizes);
    const auto last = std::end(usualSizes);
    for (; steps > 0; --steps) {
        const auto above = std::upper_bound(first, last, size);
        size = above == last ? largestIconSize : *above;
    }
    // Below the smallest usual size, one pixel at a time.
    for (; steps < 0; ++steps) {
        const auto below = std::lower_bound(first, last, size);
        size = below == first ? size - 1 : *std::prev(below);
    }
    return size;
}

QString SizeRangeEdit::rangeText(int minSize, int maxSize) {
    switch (kindOf(minSize, maxSize)) {
    case From:
        return tr("from %1 px").arg(minSize);
    case UpTo:
        return tr("up to %1 px").arg(maxSize);
    case FromTo:
        return tr("%1 to %2 px").arg(minSize).arg(maxSize);
    case EverySize:
        break;
    }
    return QString();
}

void SizeRangeEdit::showRange(int minSize, int maxSize) {
    showing = true;
    const Kind shown = kindOf(minSize, maxSize);
    kind->setCurrentIndex(shown);
    from->setValue(minSize != 0 ? minSize : defaultFrom);
    to->setValue(maxSize != 0 ? maxSize : defaultTo);
    showKind(shown);
    showing = false;
}

void SizeRangeEdit::showKind(Kind shown) {
    from->setVisible(shown == From || shown == FromTo);
    toLabel->setVisible(shown == FromTo);
    to->setVisible(shown == UpTo || shown == FromTo);
}

void SizeRangeEdit::edited(QSpinBox* changed) {
    if (showing)
        return;
    const Kind chosen = Kind(kind->currentIndex());
    // Raising "from" past "to" takes "to" along, and the other way round, so the range the user
    // sees is the range chosen.
    if (chosen == FromTo && changed && from->value() > to->value()) {
        showing = true;
        (changed == from ? to : from)->setValue(changed->value());
        showing = false;
    }
    showKind(chosen);
    const auto [minSize, maxSize] = rangeOf(chosen, from->value(), to->value());
    emit rangeEdited(minSize, maxSize);
}
