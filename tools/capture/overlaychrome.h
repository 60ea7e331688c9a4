// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QString>

class QPainter;

// What the selection overlay draws over the frozen screen: the selection's outline and size
// label, the crosshair, the hint line and the magnifier under the pointer. Knows where each goes
// and how it looks, in device pixels, with the sizes scaled by hand by the user's scale.
class OverlayChrome
{
public:
    // The overlay as it stands, all the chrome is drawn from.
    struct State
    {
        QPoint pointer;
        QRect monitor;       // the one the pointer is on
        QRect highlight;     // the region or window that would be grabbed; empty when none
        bool crosshair = false;
        QString hint;
        bool warning = false; // the hint tells of a mistake, and stands out
    };

    explicit OverlayChrome(double scale) : m_scale(scale) {}

    // Every pixel the chrome covers in this state, for repainting what changed.
    QRegion region(const State &state) const;
    // Draws the chrome; the frozen screen under it is already painted.
    void paint(QPainter &painter, const QImage &frozen, const State &state) const;

private:
    int scaled(double pixels) const { return qRound(pixels * m_scale); }
    QRect labelBox(const State &state) const;
    QRect hintBox(const State &state) const;
    QRect magnifierBox(const State &state) const;
    void paintLabel(QPainter &painter, const State &state) const;
    void paintCrosshair(QPainter &painter, const State &state) const;
    void paintHint(QPainter &painter, const State &state) const;
    void paintMagnifier(QPainter &painter, const QImage &frozen, const State &state) const;

    double m_scale;
};
