#pragma once

#include <QColor>
#include <functional>

class QPainter;

// Horizontal lines whose brightness follows half a sine wave from top to bottom.
struct GradientShape {
    double divisor;   // the height is divided by this to give the sine's period
    double amplitude; // the sine is scaled by this before rounding
    int blueOffset;   // added to the blue channel
};

inline constexpr GradientShape kSplashGradient{3.142, 390.0, 100};

// The colour of row y for a client height `height`; every channel is limited to 255.
QColor GradientRowColor(const GradientShape &shape, int y, double height);

// Paints rows 0 to the height (inclusive), each the width of the client area at that moment.
void PaintGradient(QPainter &painter, const GradientShape &shape, double height,
                   const std::function<int()> &readWidth);
