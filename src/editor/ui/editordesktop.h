// SPDX-License-Identifier: MIT
#pragma once

#include "editor/model/editormodel.h"

#include <QImage>

#include <functional>

class ColorPanelBridge;
class ExportQueue;

// What the application around the editor lends every editor view, made once by whoever makes
// the editor window.
struct EditorDesktop
{
    // The colour chooser for colours beyond the palette; without one, only the palette and hex.
    ColorPanelBridge *colors = nullptr;
    // Shows a saved file in the file manager; without it, the save notice offers no "Show".
    EditorModel::FileRevealer revealFile;
    // The queue every editor's copies and saves take turns on; without one, each model has its own.
    ExportQueue *exports = nullptr;
    // Shows a flattened grab pinned on the screen; without it, the editor offers no "Pin".
    std::function<void(const QImage &)> pin;
};
