#include "showatchoice.h"

#include "canvas/canvaswidget.h"
#include "output/exporttargets.h"

#include <QComboBox>
#include <QSignalBlocker>

#include <algorithm>

ShowAtChoice::ShowAtChoice(QComboBox* list, CanvasWidget* canvas) : list(list), canvas(canvas) {
    list->addItem(tr("All sizes"), 0);
    QObject::connect(list, &QComboBox::currentIndexChanged, canvas,
                     [this](int index) { this->canvas->showAtSize(sizeAt(index)); });
}

QList<int> ShowAtChoice::sizesOf(const Document& document) {
    QList<int> sizes = ExportTargets::of(document.output).sizes(document);
    if (sizes.isEmpty()) {
        for (const ExportTarget* target : ExportTargets::all())
            sizes += target->sizes(document);
    }
    std::sort(sizes.begin(), sizes.end());
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
    return sizes;
}

int ShowAtChoice::sizeAt(int index) const {
    return list->itemData(index).toInt();
}

void ShowAtChoice::show(const Document& document) {
    const QList<int> sizes = sizesOf(document);
    QList<int> offered;
    for (int index = 1; index < list->count(); ++index)
        offered << sizeAt(index);
    if (offered == sizes)
        return;
    const int shown = sizeAt(list->currentIndex());
    {
        const QSignalBlocker quiet(list);
        while (list->count() > 1)
            list->removeItem(1);
        for (int size : sizes)
            list->addItem(tr("%1 px").arg(size), size);
        list->setCurrentIndex(std::max(0, int(sizes.indexOf(shown)) + 1));
    }
    canvas->showAtSize(sizeAt(list->currentIndex()));
}
