// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QObject>
#include <QPointer>

#include <functional>

#include <QColorDialog>

// The application's colour chooser, made once by the editor's host and shared by every editor
// view: a non-modal dialog with an alpha control. Each colour it reports goes to the callback of
// the latest open(), which stays in place after the dialog closes until the next open() replaces
// it. Main thread only.
class ColorPanelBridge : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~ColorPanelBridge() override;

    // Shows the chooser at color without taking focus from the editor; from now on its colours go
    // to onChange.
    void open(const QColor &color, std::function<void(const QColor &)> onChange);
    // The chooser, once opened; nothing before.
    QColorDialog *dialog() const { return m_dialog; }

private:
    void report(const QColor &color);

    QPointer<QColorDialog> m_dialog;
    std::function<void(const QColor &)> m_onChange;
};
