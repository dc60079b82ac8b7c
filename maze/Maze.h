// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

namespace maze {

// A colour as 0xAARRGGBB, the layout of Qt's QRgb, so the window compares its pixels with these directly.
using Rgb = std::uint32_t;

inline constexpr Rgb kFieldBlue = 0xff0000ffu;
inline constexpr Rgb kPathYellow = 0xffffffc0u;
inline constexpr Rgb kTargetRed = 0xffff0000u;
inline constexpr Rgb kGoalGreen = 0xff00ff00u;

// One stage of a round is one path segment and the target circle at its end.
inline constexpr int kStageCount = 13;
inline constexpr int kLastStage = kStageCount - 1;

// A straight stroke with round ends, in window pixels.
struct Segment {
    int x1, y1, x2, y2;
    int width;
};

// A filled circle inscribed in a square box, in window pixels.
struct Target {
    int left, top, diameter;
    Rgb color;
};

inline constexpr std::array<Segment, kStageCount> kSegments{{
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

inline constexpr std::array<Target, kStageCount> kTargets{{
    {296, 208, 9, kTargetRed},
    {440, 296, 9, kTargetRed},
    {288, 448, 9, kTargetRed},
    {600, 344, 9, kTargetRed},
    {608, 480, 9, kTargetRed},
    {400, 448, 9, kTargetRed},
    {280, 504, 9, kTargetRed},
    {40, 416, 9, kTargetRed},
    {32, 208, 9, kTargetRed},
    {272, 344, 9, kTargetRed},
    {272, 168, 9, kTargetRed},
    {96, 104, 9, kTargetRed},
    {600, 152, 25, kGoalGreen},
}};

// The order in which the maze is painted, bottom first. Targets 0 and 1 lie below segments 3..12, which are
// never shown together with them; every other target lies above every segment.
struct MazePiece {
    enum Kind { Segment, Target } kind;
    int stage;
};

inline constexpr std::array<MazePiece, 2 * kStageCount> kStackingOrder{{
    {MazePiece::Segment, 0},  {MazePiece::Segment, 1},  {MazePiece::Segment, 2},  {MazePiece::Target, 0},
    {MazePiece::Target, 1},   {MazePiece::Segment, 3},  {MazePiece::Segment, 4},  {MazePiece::Segment, 5},
    {MazePiece::Segment, 6},  {MazePiece::Segment, 7},  {MazePiece::Segment, 8},  {MazePiece::Segment, 9},
    {MazePiece::Segment, 10}, {MazePiece::Segment, 11}, {MazePiece::Segment, 12}, {MazePiece::Target, 2},
    {MazePiece::Target, 3},   {MazePiece::Target, 4},   {MazePiece::Target, 5},   {MazePiece::Target, 6},
    {MazePiece::Target, 7},   {MazePiece::Target, 8},   {MazePiece::Target, 9},   {MazePiece::Target, 10},
    {MazePiece::Target, 11},  {MazePiece::Target, 12},
}};

} // namespace maze
