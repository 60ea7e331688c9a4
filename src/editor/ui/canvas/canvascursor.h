// SPDX-License-Identifier: MIT
#pragma once

#include <QPointF>
#include <Qt>

class EditorModel;

// The pointer shape that says what a press at an image point would do with the current tool.
Qt::CursorShape canvasCursor(const EditorModel &model, QPointF imagePoint);
