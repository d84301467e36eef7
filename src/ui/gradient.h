#pragma once
// The banded gradient fill of the message bar and of grid headers.

#include <QColor>
#include <QRect>
#include <vector>

class QPainter;

namespace vardo {

struct GradientBand {
    double fraction; // of the height (vertical fill) or of the width (horizontal)
    QColor from, to;
};

// Paints `rect` in bands, each a linear blend painted one pixel line at a time;
// the last band takes whatever the others left.
void paintGradient(QPainter& painter, const QRect& rect, const std::vector<GradientBand>& bands,
                   Qt::Orientation orientation = Qt::Vertical);

// Two bands of one half each, shared by the message bar and the grid headers.
const std::vector<GradientBand>& barGradient();

} // namespace vardo
