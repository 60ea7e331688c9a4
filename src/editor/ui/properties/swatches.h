// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QList>
#include <QWidget>

#include <optional>

class ColorPanelBridge;
class HexField;
class KiwanoButton;

// One square of a colour (or, with no colour, a cross) on cream, with a peel border.
class ColorChip : public QAbstractButton
{
    Q_OBJECT

public:
    ColorChip(std::optional<QColor> color, int side, QWidget *parent = nullptr);
    std::optional<QColor> color() const { return m_color; }
    void setColor(const std::optional<QColor> &color);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::optional<QColor> m_color;
    int m_side;
};

// The palette's chips (with a no-colour chip when the colour is optional, and a chip for a
// custom current colour), a hex field and a button for the colour chooser (none without one).
class Swatches : public QWidget
{
    Q_OBJECT

public:
    Swatches(bool allowsNone, ColorPanelBridge *chooser, QWidget *parent = nullptr);

    void setColor(const std::optional<QColor> &color);
    std::optional<QColor> color() const { return m_color; }
    // The visible chips in order; the chosen one is the one chip whose colour is current.
    QList<ColorChip *> chips() const;
    ColorChip *chosenChip() const;
    HexField *hexField() const { return m_hex; }
    KiwanoButton *pickButton() const { return m_pick; }

signals:
    // A colour, or nothing for the no-colour chip.
    void colorEdited(const std::optional<QColor> &color);

private:
    bool allowsNone() const { return m_none != nullptr; }

    std::optional<QColor> m_color;
    QWidget *m_row;
    ColorChip *m_none = nullptr;
    QList<ColorChip *> m_palette;
    ColorChip *m_custom;
    HexField *m_hex;
    KiwanoButton *m_pick;
};
