// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class PinWindow;
class QWidget;

// The pictures pinned on the screen in this run, each in a window of its own above the others
// until it is closed; none is kept for the next run.
class Pins : public QObject
{
    Q_OBJECT

public:
    explicit Pins(QObject *parent = nullptr);
    // Closes every pin.
    ~Pins() override;

    // What the desktop does to keep a window above the others beyond its window hint.
    void setKeepAbove(std::function<void(QWidget *)> keepAbove) { m_keepAbove = std::move(keepAbove); }

    // Shows picture pinned, in the middle of the screen under the pointer (a little further down
    // and right for each pin already there), shrunk to fit the screen if it is larger.
    PinWindow *pin(const QImage &picture, const QString &name);
    // The image in the file, pinned; null when the file holds no image that can be read.
    PinWindow *pinFile(const QString &path);
    // The pins on screen, oldest first.
    QList<PinWindow *> windows() const;

private:
    QList<QPointer<PinWindow>> m_windows;
    std::function<void(QWidget *)> m_keepAbove;
};
