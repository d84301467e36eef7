#include "ui/gradient.h"

#include <QPainter>
#include <cmath>

namespace vardo {

namespace {

int blend(int from, int to, int step, int steps) {
    return steps <= 1 ? from : from + (to - from) * step / (steps - 1);
}

} // namespace

void paintGradient(QPainter& painter, const QRect& rect, const std::vector<GradientBand>& bands,
                   Qt::Orientation orientation) {
    const bool vertical = orientation == Qt::Vertical;
    const int total = vertical ? rect.height() : rect.width();
    int at = 0;
    painter.save();
    for (size_t b = 0; b < bands.size() && at < total; ++b) {
        const GradientBand& band = bands[b];
        bool last = b + 1 == bands.size();
        int lines = last ? total - at : static_cast<int>(std::lround(band.fraction * total));
        lines = std::min(lines, total - at);
        for (int i = 0; i < lines; ++i) {
            painter.setPen(QColor(blend(band.from.red(), band.to.red(), i, lines),
                                  blend(band.from.green(), band.to.green(), i, lines),
                                  blend(band.from.blue(), band.to.blue(), i, lines)));
            if (vertical)
                painter.drawLine(rect.left(), rect.top() + at + i, rect.right(),
                                 rect.top() + at + i);
            else
                painter.drawLine(rect.left() + at + i, rect.top(), rect.left() + at + i,
                                 rect.bottom());
        }
        at += lines;
    }
    painter.restore();
}

const std::vector<GradientBand>& barGradient() {
    static const std::vector<GradientBand> bands{
        {0.5, QColor(254, 254, 255), QColor(232, 236, 246)},
        {0.5, QColor(212, 219, 237), QColor(222, 227, 244)},
    };
    return bands;
}

} // namespace vardo
