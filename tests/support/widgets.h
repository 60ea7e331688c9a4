// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QTest>

// Reaching into shown widgets as a user would: buttons by their title, typing over a field's
// text, and drags that the test plays itself.
namespace Widgets {

template<typename Button = QAbstractButton>
Button *buttonTitled(const QWidget *parent, const QString &text)
{
    for (Button *button : parent->findChildren<Button *>()) {
        if (button->text() == text && button->isVisibleTo(parent->window()))
            return button;
    }
    return nullptr;
}

inline void retype(QLineEdit *field, const QString &text)
{
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
}

// Whether the target takes a drag of this data entering at that point.
inline bool dragEnter(QWidget *target, const QMimeData *mime, QPoint at = QPoint(20, 20))
{
    QDragEnterEvent enter(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    return enter.isAccepted();
}

inline void drop(QWidget *target, const QMimeData *mime, QPoint at = QPoint(20, 20))
{
    QDropEvent event(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

} // namespace Widgets
