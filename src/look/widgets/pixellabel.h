// SPDX-License-Identifier: MIT
#pragma once

#include "look/pixel.h"

#include <QColor>
#include <QString>
#include <QWidget>

class QLabel;

// A pixel icon in a frame of size by size points, tinted (Kiwano::peel unless set).
class PixelIconView : public QWidget
{
    Q_OBJECT

public:
    PixelIconView(const QString &name, qreal size = 18, QWidget *parent = nullptr);
    void setName(const QString &name);
    void setColor(const QColor &color);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_name;
    qreal m_size;
    QColor m_color;
};

// A row of a pixel icon at 18 points and, when not empty, a title 6 points to its right, in the
// pixel font at size, in Kiwano::peel unless another colour is set.
class PixelLabel : public QWidget
{
    Q_OBJECT

public:
    PixelLabel(const QString &icon, const QString &title, Pixel::TextSize size = Pixel::TextSize::Body,
               QWidget *parent = nullptr);
    void setTitle(const QString &title);
    QString title() const { return m_title; }
    void setColor(const QColor &color);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_icon;
    QString m_title;
    Pixel::TextSize m_size;
    QColor m_color;
};

namespace Look {

// Gives the widget and its children text (window text and field text) in color, so that they
// read right also where the application's look is not applied.
void setTextColor(QWidget *widget, const QColor &color);
// A plain label in the pixel font at size, in color.
QLabel *pixelText(const QString &text, Pixel::TextSize size, const QColor &color, QWidget *parent = nullptr);

} // namespace Look
