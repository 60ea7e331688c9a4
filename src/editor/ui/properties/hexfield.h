// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QLineEdit>

#include <optional>

// The current colour as hex text, and colour entry by hex or r,g,b. Return writes a readable
// colour; an unreadable text goes back to the current colour's hex.
class HexField : public QLineEdit
{
    Q_OBJECT

public:
    explicit HexField(QWidget *parent = nullptr);
    // The text follows the colour only when its hex changes, so typing is not overwritten.
    void setColor(const std::optional<QColor> &color);

signals:
    void colorEdited(const QColor &color);

private:
    void accept();

    std::optional<QString> m_hex;
};
