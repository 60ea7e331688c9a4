// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class GrabCountdown;
class QLabel;

// A small window above the others that counts a timed grab down: the seconds left, what will be
// grabbed, and a Cancel button; Escape cancels too. It follows its countdown and is gone before
// the screen is read.
class CountdownWindow : public QWidget
{
    Q_OBJECT

public:
    explicit CountdownWindow(GrabCountdown &countdown);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void follow();
    void place();

    GrabCountdown &m_countdown;
    QLabel *m_seconds;
    QLabel *m_line;
};
