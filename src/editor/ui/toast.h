// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class EditorModel;
class KiwanoButton;
class QVariantAnimation;

// The model's short notice, floating over the bottom centre of its parent: it slides up and fades
// in when a notice appears and slides back down when it goes. A long notice wraps to the parent's
// width. Clicks go through it, except on the button of a notice that offers one.
class Toast : public QWidget
{
    Q_OBJECT

public:
    explicit Toast(EditorModel *model, QWidget *parent);

    QString text() const { return m_text; }
    // The notice's button, shown while the notice offers one.
    KiwanoButton *actionButton() const { return m_action; }
    // Follows the parent's size; the host calls it when the parent is resized.
    void place();
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void follow();
    // The text's box when it may be at most maxWidth wide.
    QSizeF textSize(qreal maxWidth) const;
    qreal maxTextWidth() const;

    EditorModel *m_model;
    QString m_text;
    // 0 hidden below the bottom edge, 1 fully in place.
    qreal m_shown = 0;
    QVariantAnimation *m_motion;
    KiwanoButton *m_action;
};
