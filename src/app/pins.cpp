// SPDX-License-Identifier: MIT
#include "app/pins.h"

#include "editor/model/imageimport.h"
#include "editor/ui/pinwindow.h"

#include <QCursor>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

namespace {
constexpr int cascade = 24;   // each further pin, this much down and right of the one before
constexpr int cascades = 8;   // then the row starts again in the middle
constexpr qreal roomShare = 0.9;
} // namespace

Pins::Pins(QObject *parent)
    : QObject(parent)
{
}

Pins::~Pins()
{
    for (const QPointer<PinWindow> &window : std::as_const(m_windows))
        delete window.data();
}

QList<PinWindow *> Pins::windows() const
{
    QList<PinWindow *> open;
    for (const QPointer<PinWindow> &window : m_windows)
        if (window)
            open << window.data();
    return open;
}

PinWindow *Pins::pin(const QImage &picture, const QString &name)
{
    if (picture.isNull())
        return nullptr;
    m_windows.removeAll(nullptr);
    QScreen *screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    auto *window = new PinWindow(picture, name);
    if (screen) {
        window->setScreen(screen);
        const QRect room = screen->availableGeometry();
        window->setZoom(window->zoomToFit((QSizeF(room.size()) * roomShare).toSize()), {});
        const int offset = cascade * int(m_windows.size() % cascades);
        QRect frame(QPoint(), window->size());
        frame.moveCenter(room.center() + QPoint(offset, offset));
        window->move(frame.topLeft());
    }
    if (m_keepAbove)
        m_keepAbove(window);
    m_windows << window;
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

PinWindow *Pins::pinFile(const QString &path)
{
    // Read as every other image the program takes in: turned upright, and refused when it claims a
    // size nothing could hold.
    return pin(ImageImport::decodeFile(path), QFileInfo(path).fileName());
}
