// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class EditorModel;
class QVariantAnimation;

// The model's short notice, floating over the bottom centre of its parent: it slides up and fades
// in when a notice appears and slides back down when it goes. Clicks go through it.
class Toast : public QWidget
{
    Q_OBJECT

public:
    explicit Toast(EditorModel *model, QWidget *parent);

    QString text() const { return m_text; }
    // Follows the parent's size; the host calls it when the parent is resized.
    void place();
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void follow();

    EditorModel *m_model;
    QString m_text;
    // 0 hidden below the bottom edge, 1 fully in place.
    qreal m_shown = 0;
    QVariantAnimation *m_motion;
};
