// SPDX-License-Identifier: MIT
#pragma once

#include <QPointer>
#include <QWidget>

// Lays its child chips out left to right, wrapping when the row is too narrow (its height then
// follows its width), and draws the ring
// around the chosen chip (outside the chip, so it is the row's to paint).
class ChipRow : public QWidget
{
    Q_OBJECT

public:
    ChipRow(int spacing, QWidget *parent = nullptr);
    void setChosen(QWidget *chip);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QList<QWidget *> visibleChips() const;
    void fit();
    // Places the chips for a width and returns the height they take.
    int place(int width, bool move) const;

    int m_spacing;
    QPointer<QWidget> m_chosen;
};
