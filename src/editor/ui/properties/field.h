// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class QLabel;

// A control under its title.
class Field : public QWidget
{
    Q_OBJECT

public:
    Field(const QString &title, QWidget *control, QWidget *parent = nullptr);
    QWidget *control() const { return m_control; }

private:
    QWidget *m_control;
};

// A small faded line of text: subtitles and hints.
QLabel *hintLabel(const QString &text, QWidget *parent = nullptr);
