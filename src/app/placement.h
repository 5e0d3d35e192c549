#pragma once

class QWidget;

namespace kivo::app {

/// Places a window (its frame) in the centre of its screen's available area.
void centreOnScreen(QWidget& window);

/// Brings a shown window to the front: top-most for a moment, then back to the normal level,
/// position and size unchanged.
void raiseTopMostThenNormal(QWidget& window);

}  // namespace kivo::app
