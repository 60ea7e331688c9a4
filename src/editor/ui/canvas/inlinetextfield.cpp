// SPDX-License-Identifier: MIT
#include "editor/ui/canvas/inlinetextfield.h"

#include "look/kiwano.h"
#include "look/widgets/pixelpaint.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>

#include <cmath>

InlineTextField::InlineTextField(QWidget *parent)
    : QLineEdit(parent)
{
    setPlaceholderText(tr("Type, then ⏎"));
    setFrame(false);
    setAccessibleName(tr("Text"));
    // The line edit keeps 2 of its own left of the text.
    setTextMargins(padding - 2, padding, padding, padding);
    // The box is painted here; the line edit's own base stays clear.
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::transparent);
    setPalette(colours);
    setAutoFillBackground(false);
    connect(this, &QLineEdit::returnPressed, this, [this] { emit submitted(text()); });
}

void InlineTextField::open(QPointF textOrigin, const QFont &font, const QColor &color,
                           const QString &text)
{
    place(textOrigin, font, color);
    setText(text);
    selectAll();
    show();
    raise();
    setFocus(Qt::OtherFocusReason);
}

void InlineTextField::place(QPointF textOrigin, const QFont &font, const QColor &color)
{
    setFont(font);
    QPalette colours = palette();
    colours.setColor(QPalette::Text, color);
    QColor placeholder = color;
    placeholder.setAlphaF(0.5f);
    colours.setColor(QPalette::PlaceholderText, placeholder);
    setPalette(colours);
    const int height = QFontMetrics(font).height() + 2 * padding + 2;
    setGeometry(int(std::lround(textOrigin.x() - padding)), int(std::lround(textOrigin.y() - padding)),
                fieldWidth, height);
}

bool InlineTextField::event(QEvent *event)
{
    // Escape and Return belong to the field while it is open, not to window shortcuts.
    if (event->type() == QEvent::ShortcutOverride) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
            event->accept();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void InlineTextField::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        emit abandoned();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void InlineTextField::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(this);
        QColor fill = Kiwano::cream;
        fill.setAlphaF(0.85f);
        Look::fillSnapped(painter, rect(), fill);
        Look::strokeInside(painter, rect(), 2, Kiwano::peel);
    }
    QLineEdit::paintEvent(event);
}
