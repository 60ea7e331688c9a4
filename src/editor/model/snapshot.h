// SPDX-License-Identifier: MIT
#pragma once

#include "annotation/annotation.h"

#include <QImage>
#include <QList>

#include <memory>

// One state of the undo history: the base image and the layers. The image is shared with the
// document (QImage is implicitly shared) and each layer is shared with the snapshots around it
// that hold the same layer unchanged, so a step costs a pointer per layer, not a copy.
struct Snapshot
{
    QImage base;
    QList<std::shared_ptr<const Annotation>> layers;

    // The layers as values, bottom first.
    QList<Annotation> annotations() const
    {
        QList<Annotation> list;
        list.reserve(layers.size());
        for (const auto &layer : layers)
            list.append(*layer);
        return list;
    }
};
