// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
// How narrow the blue between two parts of the visible path gets, at each stage: the shortest run of blue
// pixels, along a row, a column or a diagonal, between two pixels of the path that lie far apart along it (a
// shortcut, not the jagged edge of a stroke or the tip of a bend). A finger that moves farther than that
// between two reports of the touch screen can take the shortcut unseen, unless the way between reports is
// tested. Prints a table; run headless: build/bench/tropilka_gaps
#include "app/GameWindow.h"
#include "maze/Maze.h"
#include "support/Pupil.h"

#include <QApplication>
#include <cstdio>
#include <deque>
#include <vector>

namespace {

// Two ends of a gap at least this far apart along the path make it a shortcut.
constexpr int kShortcut = 30;

// How far each pixel that is not blue lies from the start along the path, in steps to a neighbour; -1 for
// blue.
std::vector<int> wayFromStart(const QImage& view) {
    std::vector<int> distance(std::size_t(view.width()) * view.height(), -1);
    std::deque<QPoint> queue{kStartOnPath};
    distance[std::size_t(kStartOnPath.y()) * view.width() + kStartOnPath.x()] = 0;
    while (!queue.empty()) {
        const QPoint p = queue.front();
        queue.pop_front();
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const QPoint q = p + QPoint(dx, dy);
                if (!view.rect().contains(q) || view.pixel(q) == maze::kFieldBlue)
                    continue;
                int& d = distance[std::size_t(q.y()) * view.width() + q.x()];
                if (d < 0) {
                    d = distance[std::size_t(p.y()) * view.width() + p.x()] + 1;
                    queue.push_back(q);
                }
            }
    }
    return distance;
}

// The shortest run of blue, stepping by (dx, dy), between two pixels of the path far apart along it.
int narrowestGap(const QImage& view, const std::vector<int>& way, int dx, int dy) {
    int narrowest = std::numeric_limits<int>::max();
    const QRect area = view.rect();
    const auto wayTo = [&](QPoint p) { return way[std::size_t(p.y()) * view.width() + p.x()]; };
    for (int y = 0; y < view.height(); ++y) {
        for (int x = 0; x < view.width(); ++x) {
            // Runs start just after a pixel that is not blue.
            if (view.pixel(x, y) == maze::kFieldBlue || !area.contains(x + dx, y + dy) ||
                view.pixel(x + dx, y + dy) != maze::kFieldBlue)
                continue;
            int length = 0;
            QPoint p(x + dx, y + dy);
            while (area.contains(p) && view.pixel(p) == maze::kFieldBlue) {
                ++length;
                p += QPoint(dx, dy);
            }
            if (area.contains(p) && wayTo(p) >= 0 && std::abs(wayTo(p) - wayTo(QPoint(x, y))) >= kShortcut)
                narrowest = std::min(narrowest, length);
        }
    }
    return narrowest;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    auto window = shownWindow();
    Pupil pupil(*window);
    std::printf("stage  narrowest blue gap between parts of the path %d or more pixels apart along it\n",
                kShortcut);
    int narrowest = std::numeric_limits<int>::max();
    for (int stage = 0; stage <= maze::kLastStage; ++stage) {
        if (!pupil.jumpToStage(stage))
            qFatal("could not reach stage %d", stage);
        const QImage view = pupil.view();
        const std::vector<int> way = wayFromStart(view);
        const int gap = std::min({narrowestGap(view, way, 1, 0), narrowestGap(view, way, 0, 1),
                                  narrowestGap(view, way, 1, 1), narrowestGap(view, way, 1, -1)});
        if (gap == std::numeric_limits<int>::max()) {
            std::printf("%5d  none\n", stage);
            continue;
        }
        narrowest = std::min(narrowest, gap);
        std::printf("%5d  %d\n", stage, gap);
    }
    // A finger crosses that gap between two reports once it moves faster than this; on a 65-inch panel of
    // 1920 x 1080 pixels, 1.44 m wide, the layout is scaled by 1080 / 536 and a layout pixel is 1.5 mm.
    const double cmPerLayoutPixel = 143.9 / 1920 * 1080 / 536;
    std::printf("\nreports a second   finger speed that crosses a %d-pixel gap unseen\n", narrowest);
    for (const int hz : {60, 120, 240})
        std::printf("%17d   %d layout pixels a second, %.0f cm a second on a 65-inch panel\n", hz,
                    narrowest * hz, narrowest * hz * cmPerLayoutPixel);
    return 0;
}
