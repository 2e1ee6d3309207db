#pragma once

#include "document/document.h"
#include "picture/pictureintake.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QPoint>
#include <QString>

#include <functional>
#include <utility>

// One thing the user does to the document, as EditedDocument::edit applies it: the name its undo
// step carries in the Edit menu, the key that merges a run of it into one step (empty: a step of
// its own), and the change. The views ask UserActions for them, so each action is named and made
// in one place whichever control, key or gesture asks for it.
struct UserAction {
    QString name;
    QString mergeKey;
    std::function<void(Document&)> change;
};

// Every action of the window. Those of the selected layer change nothing when none is selected.
namespace UserActions {

// Pictures read from files, each with its file name, dropped at `widgetPoint`: one step; the last
// one added is selected.
UserAction addPictures(const QList<std::pair<QString, PictureIntake::Picture>>& pictures,
                       QPoint widgetPoint);
UserAction deleteSelected();
// The selected layer to `position`; moves with the same `mergeKey` (one drag) make one step.
UserAction moveSelected(QPoint position, const QString& mergeKey = QString());
// A run of zooms, or of turns, of one layer is one step, by the wheel or by the page's box.
UserAction zoomSelected(const Document& document, int scale);
UserAction turnSelected(const Document& document, int rotation);
// The pixel sizes the selected layer is drawn at, both inclusive; 0: no bound that way. A run of
// these on one layer (its kind chosen, then its sizes stepped) is one step.
UserAction sizeRangeSelected(const Document& document, int minSize, int maxSize);
// The layer at `from` moved to `to` in the stacking order, and selected.
UserAction moveLayer(int from, int to);

// The style. A run of changes of one number or text (typing, a wheel over the box) is one step.
UserAction shape(int shape);
UserAction radius(int radius);
UserAction background(bool on);
UserAction backgroundStyle(int backStyle);
UserAction gradientDirection(int orientation);
UserAction effect3d(bool on);
UserAction border(bool on);
UserAction borderWidth(int width);
UserAction glossy(bool on);
UserAction colour(QColor IconStyle::*field, const QColor& color);
UserAction badge(bool on);
// The badge font follows the text size in pixels, bold.
UserAction badgeTextSize(int size);
UserAction badgeLineWidth(int width);
UserAction badgeText(const QString& text);
UserAction badgeFont(const QFont& font);
// The position kept for the badge's current orientation.
UserAction badgePosition(int position);
UserAction badgeOrientation(int orientation);
// Canvas size by its place in the list: 0 is factor 1 (256 px).
UserAction canvasSize(int index);
UserAction clipPictures(bool on);

// The output choice.
UserAction outputTarget(const QString& key);
UserAction appleGrid(bool on);
UserAction pngSizes(const QList<int>& sizes);
UserAction iconSizes(const QList<int>& sizes, bool sharp);

// `font` as the badge of text size `size` draws it: that pixel size (0 leaves it), bold.
void fitBadgeFont(QFont& font, int size);

} // namespace UserActions
