// SPDX-License-Identifier: MIT
#pragma once

#include "annotation/annotation.h"
#include "annotation/pixelcache.h"

#include <QImage>
#include <QList>
#include <QWidget>

#include <memory>

// A stand-in main window until the application shell lands: a generated screenshot with one
// layer of every kind, drawn by the renderer the way the editor's canvas will draw it.
class SampleDocumentView : public QWidget
{
    Q_OBJECT

public:
    explicit SampleDocumentView(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_base;
    QList<Annotation> m_layers;
    std::unique_ptr<PixelCache> m_pixels;
};
