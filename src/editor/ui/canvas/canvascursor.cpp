// SPDX-License-Identifier: MIT
#include "editor/ui/canvas/canvascursor.h"

#include "editor/model/editormodel.h"

namespace {

// The diagonal that runs through the corner being dragged: top-left and bottom-right share one.
Qt::CursorShape diagonal(bool above, bool left)
{
    return above == left ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor;
}

Qt::CursorShape cropCursor(const CropGrab &grab)
{
    switch (grab.kind) {
    case CropGrab::move:
        return Qt::OpenHandCursor;
    case CropGrab::newRect:
        return Qt::CrossCursor;
    case CropGrab::resize:
        break;
    }
    const CropEdges e = grab.edges;
    if (e == CropEdge::left || e == CropEdge::right)
        return Qt::SizeHorCursor;
    if (e == CropEdge::top || e == CropEdge::bottom)
        return Qt::SizeVerCursor;
    if (e == (CropEdge::top | CropEdge::left))
        return diagonal(true, true);
    if (e == (CropEdge::top | CropEdge::right))
        return diagonal(true, false);
    if (e == (CropEdge::bottom | CropEdge::left))
        return diagonal(false, true);
    return diagonal(false, false);
}

} // namespace

Qt::CursorShape canvasCursor(const EditorModel &model, QPointF imagePoint)
{
    switch (model.tool()) {
    case Tool::crop:
        return cropCursor(model.cropGrab(imagePoint));
    case Tool::text:
        return Qt::IBeamCursor;
    case Tool::move:
        if (const auto handle = model.resizeCorner(imagePoint)) {
            const auto [corner, anchor] = *handle;
            // A tie counts as below or right.
            return diagonal(corner.y() < anchor.y(), corner.x() < anchor.x());
        }
        return Qt::OpenHandCursor;
    default:
        return Qt::CrossCursor;
    }
}
