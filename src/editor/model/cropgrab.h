// SPDX-License-Identifier: MIT
#pragma once

#include <QFlags>

// One edge of the crop rectangle; a corner grab holds two.
enum class CropEdge {
    left = 1,
    right = 2,
    top = 4,
    bottom = 8,
};
Q_DECLARE_FLAGS(CropEdges, CropEdge)
Q_DECLARE_OPERATORS_FOR_FLAGS(CropEdges)

// What a press on the crop overlay takes hold of.
struct CropGrab
{
    enum Kind {
        resize,   // the edges follow the pointer
        move,     // the whole rectangle follows the pointer
        newRect,  // a new rectangle is drawn from the press point
    };

    Kind kind = newRect;
    CropEdges edges;   // only for resize

    static CropGrab resizing(CropEdges edges) { return {resize, edges}; }
    static CropGrab moving() { return {move, {}}; }
    static CropGrab drawing() { return {newRect, {}}; }

    friend bool operator==(const CropGrab &a, const CropGrab &b)
    {
        return a.kind == b.kind && a.edges == b.edges;
    }
};
