// SPDX-License-Identifier: MIT
#pragma once

#include "clipboard/clipitem.h"

#include <QAbstractListModel>
#include <QHash>
#include <QImage>
#include <QListView>
#include <QPropertyAnimation>
#include <QStyledItemDelegate>

class Clipboard;
class ClipboardPickerModel;

// The visible entries of the picker model as a list model, rebuilt when the model's list changes.
class ClipListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    ClipListModel(ClipboardPickerModel &picker, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    const ClipItem *item(int row) const;
    int row(const QUuid &id) const;
    bool isSelected(int row) const;
    // Reads the picker model's list again.
    void reload();

private:
    ClipboardPickerModel &m_picker;
    QList<ClipItem> m_items;
};

// Draws each row with ClipRow. Thumbnails are read only when their row is painted, scaled once
// for the screen, and kept until forget().
class ClipRowDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    ClipRowDelegate(Clipboard &clipboard, ClipListModel &model, QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // Drops the scaled thumbnails (the panel closed, or one was rewritten).
    void forget();
    void forget(const QUuid &id);
    qsizetype thumbnailCount() const { return m_thumbnails.size(); }

    // The space between two rows.
    static constexpr int gap = 2;

private:
    std::optional<QImage> thumbnail(const ClipItem &item, qreal devicePixelRatio) const;

    Clipboard &m_clipboard;
    ClipListModel &m_model;
    // A null image records an entry whose thumbnail could not be read.
    mutable QHash<QUuid, QImage> m_thumbnails;
};

// The scrolling list: hovering moves the selection (as the picker model allows), a click chooses.
class ClipListView : public QListView
{
    Q_OBJECT

public:
    ClipListView(ClipboardPickerModel &picker, Clipboard &clipboard, QWidget *parent = nullptr);

    ClipListModel &listModel() { return m_model; }
    ClipRowDelegate &delegate() { return m_delegate; }

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void showSelected();

    ClipboardPickerModel &m_picker;
    ClipListModel m_model;
    ClipRowDelegate m_delegate;
    QPropertyAnimation m_scroll;
};
