// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class KiwanoButton;

// The crop's size ("640 × 480") on a yellow pixel box; it lets clicks through to the canvas.
class CropSizeLabel : public QWidget
{
    Q_OBJECT

public:
    explicit CropSizeLabel(QWidget *parent = nullptr);
    void setText(const QString &text);
    QString text() const { return m_text; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
};

// "Cancel" and "Apply Crop" on a yellow pixel box over a hard shadow. Escape and Return press
// them while the bar is shown.
class CropBar : public QWidget
{
    Q_OBJECT

public:
    explicit CropBar(QWidget *parent = nullptr);
    KiwanoButton *cancelButton() const { return m_cancel; }
    KiwanoButton *applyButton() const { return m_apply; }

signals:
    void cancelled();
    void applied();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    KiwanoButton *m_cancel;
    KiwanoButton *m_apply;
};
