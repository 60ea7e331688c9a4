// SPDX-License-Identifier: MIT
#include "settings/shortcutfield.h"

#include "hotkeys/hotkeyrecorder.h"
#include "look/kiwano.h"
#include "look/pixel.h"
#include "look/widgets/pixelpaint.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>

ShortcutField::ShortcutField(HotKeyAction action, HotKeyCenter &center, QWidget *parent)
    : QAbstractButton(parent), m_action(action)
{
    m_recorder = new HotKeyRecorder(action, center, this);
    setFocusPolicy(Qt::StrongFocus);
    setFont(Pixel::uiFont());
    setAccessibleDescription(HotKeyActions::title(action));
    connect(this, &QAbstractButton::clicked, m_recorder, &HotKeyRecorder::toggle);
    connect(m_recorder, &HotKeyRecorder::recordingChanged, this, &ShortcutField::refresh);
    connect(m_recorder, &HotKeyRecorder::refused, this, [] { QApplication::beep(); });
    refresh();
}

ShortcutField::~ShortcutField()
{
    // The recorder outlives this widget's own part of the destruction; it must not call back.
    disconnect(m_recorder, nullptr, this, nullptr);
    m_recorder->stop();
}

bool ShortcutField::isRecording() const
{
    // Events arrive while the recorder is being made.
    return m_recorder && m_recorder->isRecording();
}

void ShortcutField::refresh()
{
    const QString label = m_recorder->label();
    setText(label);
    setAccessibleName(tr("%1 shortcut: %2").arg(HotKeyActions::title(m_action), label));
    update();
}

QSize ShortcutField::sizeHint() const
{
    return QSize(160, fontMetrics().height() + 14);
}

bool ShortcutField::event(QEvent *event)
{
    if (isRecording()) {
        switch (event->type()) {
        case QEvent::ShortcutOverride:
            // Keeps window and application shortcuts from taking the keys being recorded.
            event->accept();
            return true;
        case QEvent::KeyPress:
            m_recorder->handleKeyEvent(*static_cast<QKeyEvent *>(event));
            return true;
        case QEvent::KeyRelease:
            return true;
        default:
            break;
        }
    }
    return QAbstractButton::event(event);
}

void ShortcutField::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!isEnabled())
        painter.setOpacity(0.4);
    const bool recording = isRecording();
    const QRectF box = QRectF(rect()).adjusted(0, 0, -1, -1);
    Look::paintPixelBox(painter, box, recording ? Kiwano::yellow : Kiwano::cream, recording || isDown());
    painter.setPen(Kiwano::peel);
    painter.setFont(font());
    painter.drawText(rect(), Qt::AlignCenter, text());
    if (hasFocus()) {
        painter.setPen(QPen(Kiwano::peel, 1, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(4.5, 4.5, -5.5, -5.5));
    }
}

void ShortcutField::hideEvent(QHideEvent *event)
{
    m_recorder->stop();
    QAbstractButton::hideEvent(event);
}

void ShortcutField::focusOutEvent(QFocusEvent *event)
{
    // Clicking elsewhere ends the recording, so shortcuts never stay released by accident.
    if (event->reason() != Qt::PopupFocusReason)
        m_recorder->stop();
    QAbstractButton::focusOutEvent(event);
}
