// Pixel art of the Sound buttons, 16 x 15 each, drawn on a transparent face.
#pragma once

#include <QImage>

namespace corvane {
constexpr int kToolbarImageWidth = 16;
constexpr int kToolbarImageHeight = 15;

// "Loop": a black right-pointing triangle.
QImage LoopButtonImage();

// "OneShot": a right-pointing triangle followed by a vertical bar.
QImage OneShotButtonImage();

// "Pause": two vertical bars.
QImage PauseButtonImage();
} // namespace corvane
