// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Pixels.h"

#include <QPainter>
#include <algorithm>
#include <cstring>

namespace scene::pixels {

namespace {

QRgb* row(QImage& picture, int y) {
    // bits() once per row, not scanLine(): the picture is a view that never detaches, and this is the hot
    // path.
    return reinterpret_cast<QRgb*>(picture.bits() + qsizetype(y) * picture.bytesPerLine());
}

// The parts of the clip, each within the picture and the given area.
template <typename Each> void within(QImage& picture, const QRegion& clip, const QRect& area, Each each) {
    const QRect limit = area & picture.rect();
    for (const QRect& rect : clip) {
        const QRect part = rect & limit;
        if (!part.isEmpty())
            each(part);
    }
}

} // namespace

std::vector<Run> coverage(const QRect& bounds, QPoint origin, qreal scale,
                          const std::function<void(QPainter&)>& draw) {
    QImage mask(bounds.size(), QImage::Format_Alpha8);
    mask.fill(0);
    {
        // A shift by whole device pixels places the shape's pixels as in the picture itself.
        QPainter painter(&mask);
        painter.translate(origin - bounds.topLeft());
        painter.scale(scale, scale);
        draw(painter);
    }
    std::vector<Run> runs;
    for (int y = 0; y < mask.height(); ++y) {
        const uchar* line = mask.constScanLine(y);
        for (int x = 0; x < mask.width();) {
            if (line[x] == 0) {
                ++x;
                continue;
            }
            const int left = x;
            while (x < mask.width() && line[x] != 0)
                ++x;
            runs.push_back({bounds.top() + y, bounds.left() + left, bounds.left() + x});
        }
    }
    return runs;
}

void fill(QImage& picture, const QRegion& clip, const std::vector<Run>& runs, QRgb colour) {
    if (runs.empty())
        return;
    const QRect area(QPoint(0, runs.front().y), QPoint(picture.width() - 1, runs.back().y));
    within(picture, clip, area, [&](const QRect& part) {
        auto run = std::lower_bound(runs.begin(), runs.end(), part.top(),
                                    [](const Run& r, int y) { return r.y < y; });
        for (; run != runs.end() && run->y <= part.bottom(); ++run) {
            const int left = std::max(run->left, part.left());
            const int right = std::min(run->right, part.right() + 1);
            if (left < right)
                std::fill(row(picture, run->y) + left, row(picture, run->y) + right, colour);
        }
    });
}

void fill(QImage& picture, const QRegion& clip, const QRect& rect, QRgb colour) {
    within(picture, clip, rect, [&](const QRect& part) {
        for (int y = part.top(); y <= part.bottom(); ++y)
            std::fill_n(row(picture, y) + part.left(), part.width(), colour);
    });
}

void copy(QImage& picture, const QRegion& clip, QPoint at, const QImage& source) {
    Q_ASSERT(source.format() == picture.format());
    within(picture, clip, QRect(at, source.size()), [&](const QRect& part) {
        for (int y = part.top(); y <= part.bottom(); ++y) {
            const auto* from =
                reinterpret_cast<const QRgb*>(source.constScanLine(y - at.y())) + (part.left() - at.x());
            std::memcpy(row(picture, y) + part.left(), from, sizeof(QRgb) * part.width());
        }
    });
}

} // namespace scene::pixels
