// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractButton>
#include <QFrame>
#include <QString>

class KiwanoButton;
class QLabel;
class QVBoxLayout;

namespace SettingsParts {

// A section: its pixel-font title with a pixel icon, then its rows in a column.
QVBoxLayout *section(QVBoxLayout *column, const QString &icon, const QString &title);
// Body text that wraps, in the pixel font.
QLabel *text(const QString &text, QWidget *parent = nullptr);
// A smaller, faded line under a control.
QLabel *caption(const QString &text, QWidget *parent = nullptr);
// Sets the tab order of every focusable control below root to the order of its layouts, which
// is the reading order: top to bottom, left to right within a row.
void chainInLayoutOrder(QWidget *root);

} // namespace SettingsParts

// An inline warning: a yellow pixel box with a warning mark, the text, and an optional "Open"
// button. Hidden while it has no text.
class WarningBox : public QFrame
{
    Q_OBJECT
public:
    explicit WarningBox(QWidget *parent = nullptr);

    QString text() const;
    // Shows the text, or hides the box for an empty one.
    void setText(const QString &text);
    KiwanoButton *openButton() const { return m_open; }
    void setOpenVisible(bool visible);

signals:
    void openClicked();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *m_label;
    KiwanoButton *m_open;
};

// A check box of the look: a small pixel box, checked with a tick, and its caption wrapping
// beside it. Space toggles it; the caption is its accessible name.
class PixelToggle : public QAbstractButton
{
    Q_OBJECT
public:
    explicit PixelToggle(const QString &text, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect textRect(int width) const;
};
