#include "app/Gradient.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

// The runtime's conversion to a whole number: to the nearest, a tie to the even number.
long RoundHalfToEven(double value) {
    return std::lrint(value);
}

} // namespace

QColor GradientRowColor(const GradientShape &shape, int y, double height) {
    const double d = height / shape.divisor;
    const long c = RoundHalfToEven(std::fabs(std::sin(y / d) * shape.amplitude));
    const auto channel = [](long value) { return static_cast<int>(std::clamp(value, 0L, 255L)); };
    return {channel(c), channel(c), channel(c + shape.blueOffset)};
}

void PaintGradient(QPainter &painter, const GradientShape &shape, double height,
                   const std::function<int()> &readWidth) {
    const long rows = RoundHalfToEven(height);
    for (long y = 0; y <= rows; ++y) {
        painter.setPen(GradientRowColor(shape, static_cast<int>(y), height));
        painter.drawLine(0, static_cast<int>(y), readWidth(), static_cast<int>(y));
    }
}
