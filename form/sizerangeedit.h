#pragma once

#include <QWidget>

#include <utility>

class QComboBox;
class QLabel;
class QSpinBox;

// The Selected Object page's choice of the pixel sizes a picture is drawn in: every size, from a
// size, up to a size, or from one size to another (both inclusive). Tells each change the user
// makes; showing a range tells nothing.
class SizeRangeEdit : public QWidget {
    Q_OBJECT

public:
    enum Kind { EverySize, From, UpTo, FromTo };

    explicit SizeRangeEdit(QWidget* parent = nullptr);

    // Shows `minSize` to `maxSize` (0: no bound that way).
    void showRange(int minSize, int maxSize);

    static Kind kindOf(int minSize, int maxSize);
    // The range `kind` makes of the boxes' sizes `from` and `to`: 0 for a bound it does not
    // have, the smaller size first.
    static std::pair<int, int> rangeOf(Kind kind, int from, int to);
    // `size` moved `steps` places along the usual icon sizes (16, 20, 24, 32 ... 1024), from the
    // nearest one that way when `size` is none of them, and one pixel at a time below 16 (the
    // box holds it within its range).
    static int steppedSize(int size, int steps);
    // The range in words ("from 48 px", "up to 32 px", "16 to 24 px"); empty for every size.
    static QString rangeText(int minSize, int maxSize);

Q_SIGNALS:
    void rangeEdited(int minSize, int maxSize);

private:
    QComboBox* kind;
    QSpinBox* from;
    QLabel* toLabel;
    QSpinBox* to;
    // True while showRange() sets the controls.
    bool showing = false;

    void showKind(Kind shown);
    // The user changed the kind or one box: the other box follows so that from <= to.
    void edited(QSpinBox* changed);
};
