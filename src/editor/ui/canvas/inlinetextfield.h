// SPDX-License-Identifier: MIT
#pragma once

#include <QLineEdit>

// The one-line field where a new text layer is typed, drawn on a translucent cream box with a
// peel border. Return submits what was typed, Escape gives it up.
class InlineTextField : public QLineEdit
{
    Q_OBJECT

public:
    static constexpr int fieldWidth = 320;
    static constexpr int padding = 4;

    explicit InlineTextField(QWidget *parent = nullptr);
    // Shows the field focused with text (empty for a new layer), its text starting at
    // textOrigin (view points), in font and color.
    void open(QPointF textOrigin, const QFont &font, const QColor &color,
              const QString &text = QString());
    // Moves and restyles the field, keeping what was typed.
    void place(QPointF textOrigin, const QFont &font, const QColor &color);

signals:
    void submitted(const QString &text);
    void abandoned();

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};
