// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QPoint>
#include <QString>
#include <QWidget>

#include <functional>

// What every scene needs: waiting on conditions with a deadline, pointer and key events sent to
// shown widgets, and pictures of a window's area of the screen.
class Driver
{
public:
    Driver(const QString &folder, int scale) : m_folder(folder), m_scale(scale) {}

    // Lets the event loop run until the condition holds; false (and a note) at the deadline.
    bool waitFor(const QString &what, const std::function<bool()> &condition, int timeoutMs = 5000);
    // Lets the event loop run for a while.
    static void settle(int ms = 250);
    // Waits for the window to be mapped and painted, then for animations to end.
    bool waitShown(QWidget *window);

    static void click(QWidget *widget, QPoint at = QPoint(-1, -1));
    // Presses at the first point, moves along the others in small steps and lets go at the last
    // (widget points).
    static void drag(QWidget *widget, const QList<QPointF> &path);
    static void type(QWidget *widget, const QString &text);
    static void key(QWidget *widget, Qt::Key key);

    // Writes NAME@Nx.png from the screen area of the widget's window, popups over it included.
    bool shoot(const QString &name, QWidget *widget);
    // The same for an area of the screen in device pixels.
    bool shootPixels(const QString &name, const QRect &pixels);

    // In another language than English only the README's main window and settings are taken,
    // as NAME-LANGUAGE@Nx.png.
    void setLanguage(const QString &language) { m_language = language; }

    int failures() const { return m_failures; }
    void fail(const QString &what);

    // The first child of that type whose accessible name is name (any name when empty).
    template<typename T>
    static T *find(QWidget *parent, const QString &name = QString())
    {
        const auto children = parent->findChildren<T *>();
        for (T *child : children) {
            if (name.isEmpty() || child->accessibleName() == name)
                return child;
        }
        return nullptr;
    }

private:
    QString m_folder;
    int m_scale;
    QString m_language;
    int m_failures = 0;
};
