// SPDX-License-Identifier: MIT
#pragma once

#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include <optional>

class KiwanoButton;
class QGraphicsOpacityEffect;
class QVariantAnimation;

// A short notice with an optional action button, floating over the bottom centre of an area of
// its parent: it rises and fades in when posted and sinks away when it goes, after its time is
// up, but never while the pointer rests on it or the keyboard focus is on its button. The button
// is a KiwanoButton: it takes Tab focus and is named by its title. When the notice goes, focus
// that was on the button returns to where it was when the notice was posted. A long notice wraps
// to the area's width. Clicks go through a notice without a button to what lies under it.
class ActionToast : public QWidget
{
    Q_OBJECT

public:
    struct Notice
    {
        QString text;
        // The button's title; no button when empty.
        QString action;
        // A pixel icon shown before the text.
        QString icon = QStringLiteral("kiwano");
        // Zero: the notice stays until dismiss() or the next post().
        int timeoutMs = 6000;
    };

    explicit ActionToast(QWidget *parent);

    // Shows the notice, replacing the one showing without a closed() for that one.
    void post(const Notice &notice);
    // Takes the notice away now, as its time running out would.
    void dismiss();
    // True from post() until the notice starts to go.
    bool isPosted() const { return m_posted; }
    QString text() const { return m_text; }
    KiwanoButton *actionButton() const { return m_button; }
    // The part of the parent the toast floats over, at its bottom centre; the whole parent
    // unless set. The host sets it again when its layout changes.
    void setArea(const QRect &area);

    QSize sizeHint() const override;

signals:
    // The button was pressed; the notice goes.
    void actionTriggered();
    // The notice went by dismiss() or because its time was up, not by its button or a new post().
    void closed();

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void leave(bool notify);
    void timeUp();
    void place();
    void returnFocus();
    QRect area() const;
    // The text's box when its lines may be at most maxWidth wide.
    QSizeF textSize(qreal maxWidth) const;
    qreal maxTextWidth() const;

    QString m_text;
    QString m_icon;
    KiwanoButton *m_button;
    QTimer m_timer;
    QVariantAnimation *m_motion;
    QGraphicsOpacityEffect *m_fade;
    // 0 out of sight, 1 fully in place.
    qreal m_shown = 0;
    bool m_posted = false;
    std::optional<QRect> m_area;
    QPointer<QWidget> m_focusBefore;
};
