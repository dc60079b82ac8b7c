// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "forms/Colour.h"

#include <array>

namespace maze {

using forms::Colour;
using forms::rgb;

// One stage of a round is one path segment and the circle at its end.
inline constexpr int kStageCount = 13;
inline constexpr int kLastStage = kStageCount - 1;

inline constexpr Colour kFieldBlue = rgb(0, 0, 255);
inline constexpr Colour kPathYellow = rgb(255, 255, 192);
inline constexpr Colour kTargetRed = rgb(255, 0, 0);
inline constexpr Colour kGoalGreen = rgb(0, 255, 0);

// In window pixels (the maze was laid out in twips, 15 to a pixel at 96 DPI).
struct SegmentSpec {
    int x1, y1, x2, y2;
    int width;
};

struct CircleSpec {
    int left, top, width, height;
    Colour colour;
};

inline constexpr std::array<SegmentSpec, kStageCount> kSegments{{
    {376, 216, 304, 216, 30},
    {440, 296, 304, 216, 20},
    {296, 416, 456, 288, 80},
    {312, 440, 608, 352, 20},
    {616, 376, 600, 464, 60},
    {584, 464, 400, 464, 40},
    {424, 488, 280, 504, 20},
    {48, 416, 264, 504, 40},
    {40, 408, 32, 208, 20},
    {256, 336, 48, 216, 70},
    {280, 168, 168, 256, 20},
    {96, 112, 69, 208, 40},
    {616, 152, 104, 80, 50},
}};

inline constexpr std::array<CircleSpec, kStageCount> kCircles{{
    {296, 208, 9, 9, kTargetRed},
    {440, 296, 9, 9, kTargetRed},
    {288, 448, 9, 9, kTargetRed},
    {600, 344, 9, 9, kTargetRed},
    {608, 480, 9, 9, kTargetRed},
    {400, 448, 9, 9, kTargetRed},
    {280, 504, 9, 9, kTargetRed},
    {40, 416, 9, 9, kTargetRed},
    {32, 208, 9, 9, kTargetRed},
    {272, 344, 9, 9, kTargetRed},
    {272, 168, 9, 9, kTargetRed},
    {96, 104, 9, 9, kTargetRed},
    {600, 152, 25, 25, kGoalGreen},
}};

// The order in which the maze is painted, bottom first. Circles 0 and 1 lie below segments 3..12, which are
// never shown together with them; every other circle lies above every segment.
struct MazeElement {
    enum Kind { Segment, Circle } kind;
    int index;
};

inline constexpr std::array<MazeElement, 2 * kStageCount> kPaintOrder{{
    {MazeElement::Segment, 0},  {MazeElement::Segment, 1},  {MazeElement::Segment, 2},
    {MazeElement::Circle, 0},   {MazeElement::Circle, 1},   {MazeElement::Segment, 3},
    {MazeElement::Segment, 4},  {MazeElement::Segment, 5},  {MazeElement::Segment, 6},
    {MazeElement::Segment, 7},  {MazeElement::Segment, 8},  {MazeElement::Segment, 9},
    {MazeElement::Segment, 10}, {MazeElement::Segment, 11}, {MazeElement::Segment, 12},
    {MazeElement::Circle, 2},   {MazeElement::Circle, 3},   {MazeElement::Circle, 4},
    {MazeElement::Circle, 5},   {MazeElement::Circle, 6},   {MazeElement::Circle, 7},
    {MazeElement::Circle, 8},   {MazeElement::Circle, 9},   {MazeElement::Circle, 10},
    {MazeElement::Circle, 11},  {MazeElement::Circle, 12},
}};

} // namespace maze
