// SPDX-License-Identifier: MIT
#pragma once

#include <QUrl>
#include <QVariantAnimation>
#include <QWidget>

#include <optional>

class AppState;
class HistoryModel;
class QPropertyAnimation;
class StripView;

// The strip of grabs under the editor: thumbnails of every grab, newest at the left, on the
// yellow band. It keeps the selected grab centred and takes dropped images in as new grabs,
// outlining itself with a dashed border while an acceptable drag hovers.
class HistoryStrip : public QWidget
{
    Q_OBJECT

public:
    static constexpr int height = 104;

    explicit HistoryStrip(AppState *state, QWidget *parent = nullptr);

    StripView *view() const { return m_view; }
    HistoryModel *model() const { return m_model; }
    // True while a drag with acceptable items hovers.
    bool isTargeted() const { return m_targeted; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void selectedChanged();
    void followSelection();
    void centreSelection(bool animated);
    void setTargeted(bool targeted);

    AppState *m_state;
    HistoryModel *m_model;
    StripView *m_view;
    QWidget *m_border;
    bool m_targeted = false;
    QPropertyAnimation *m_scroll;
    // The selected grab rises while the one before it settles.
    QVariantAnimation m_lift;
    std::optional<QUrl> m_rising;
    std::optional<QUrl> m_settling;
};
