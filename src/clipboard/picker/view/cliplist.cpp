// SPDX-License-Identifier: MIT
#include "clipboard/picker/view/cliplist.h"

#include "clipboard/clipboard.h"
#include "clipboard/picker/clipboardpickermodel.h"
#include "clipboard/picker/view/cliprow.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

ClipListModel::ClipListModel(ClipboardPickerModel &picker, QObject *parent)
    : QAbstractListModel(parent)
    , m_picker(picker)
{
}

int ClipListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

QVariant ClipListModel::data(const QModelIndex &index, int role) const
{
    const ClipItem *entry = item(index.row());
    if (!entry)
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return entry->title;
    return {};
}

const ClipItem *ClipListModel::item(int row) const
{
    return row >= 0 && row < m_items.size() ? &m_items.at(row) : nullptr;
}

int ClipListModel::row(const QUuid &id) const
{
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        if (m_items.at(i).id == id)
            return int(i);
    }
    return -1;
}

bool ClipListModel::isSelected(int row) const
{
    const ClipItem *entry = item(row);
    return entry && m_picker.selectedID() == entry->id;
}

void ClipListModel::reload()
{
    beginResetModel();
    m_items = m_picker.visible();
    endResetModel();
}

ClipRowDelegate::ClipRowDelegate(Clipboard &clipboard, ClipListModel &model, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_clipboard(clipboard)
    , m_model(model)
{
}

std::optional<QImage> ClipRowDelegate::thumbnail(const ClipItem &item, qreal devicePixelRatio) const
{
    if (!item.hasImage)
        return std::nullopt;
    auto found = m_thumbnails.constFind(item.id);
    if (found == m_thumbnails.cend() || (!found->isNull() && found->devicePixelRatio() != devicePixelRatio)) {
        QImage scaled;
        const std::optional<QImage> image = m_clipboard.thumbnail(item);
        if (image && !image->isNull()) {
            const QSize size = (ClipRow::fittedSize(image->size()) * devicePixelRatio).toSize();
            scaled = image->scaled(size.expandedTo({1, 1}), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            scaled.setDevicePixelRatio(devicePixelRatio);
        }
        found = m_thumbnails.insert(item.id, scaled);
    }
    if (found->isNull())
        return std::nullopt;
    return *found;
}

void ClipRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const ClipItem *item = m_model.item(index.row());
    if (!item)
        return;
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    ClipRow row{*item, index.row(), m_model.isSelected(index.row()), thumbnail(*item, ratio)};
    row.paint(*painter, QRectF(option.rect).adjusted(0, 0, 0, -gap));
}

QSize ClipRowDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const ClipItem *item = m_model.item(index.row());
    const int height = item ? int(ClipRow::height(*item)) : 0;
    return {option.rect.width(), height + gap};
}

void ClipRowDelegate::forget()
{
    m_thumbnails.clear();
    m_thumbnails.squeeze();
}

void ClipRowDelegate::forget(const QUuid &id)
{
    m_thumbnails.remove(id);
}

ClipListView::ClipListView(ClipboardPickerModel &picker, Clipboard &clipboard, QWidget *parent)
    : QListView(parent)
    , m_picker(picker)
    , m_model(picker)
    , m_delegate(clipboard, m_model)
    , m_scroll(verticalScrollBar(), "value")
{
    m_scroll.setDuration(120);
    m_scroll.setEasingCurve(QEasingCurve::OutCubic);
    setModel(&m_model);
    setItemDelegate(&m_delegate);
    setFrameShape(QFrame::NoFrame);
    viewport()->setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    setSelectionMode(QAbstractItemView::NoSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setViewportMargins(8, 8, 8, 8);
    setAccessibleName(tr("Clipboard history"));
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::transparent);
    setPalette(colours);
    viewport()->setAutoFillBackground(false);

    connect(&m_picker, &ClipboardPickerModel::visibleChanged, this, [this] {
        m_model.reload();
        showSelected();
    });
    connect(&m_picker, &ClipboardPickerModel::selectedIDChanged, this, [this] {
        viewport()->update();
        showSelected();
    });
    connect(&clipboard, &Clipboard::thumbnailReady, this, [this](const QUuid &id) {
        m_delegate.forget(id);
        viewport()->update();
    });
    m_model.reload();
}

void ClipListView::showSelected()
{
    const auto id = m_picker.selectedID();
    const int row = id ? m_model.row(*id) : -1;
    if (row < 0)
        return;
    // Glide just far enough for the whole row to show; a hidden list jumps.
    const QRect rect = visualRect(m_model.index(row));
    const QRect view = viewport()->rect();
    QScrollBar *bar = verticalScrollBar();
    int target = bar->value();
    if (rect.top() < view.top())
        target += rect.top() - view.top();
    else if (rect.bottom() > view.bottom())
        target += std::min(rect.bottom() - view.bottom(), rect.top() - view.top());
    target = std::clamp(target, bar->minimum(), bar->maximum());
    m_scroll.stop();
    if (target == bar->value())
        return;
    if (!isVisible()) {
        bar->setValue(target);
        return;
    }
    m_scroll.setStartValue(bar->value());
    m_scroll.setEndValue(target);
    m_scroll.start();
}

void ClipListView::mouseMoveEvent(QMouseEvent *event)
{
    if (const ClipItem *item = m_model.item(indexAt(event->position().toPoint()).row()))
        m_picker.hover(*item);
}

void ClipListView::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void ClipListView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (const ClipItem *item = m_model.item(indexAt(event->position().toPoint()).row())) {
        const ClipItem chosen = *item;
        m_picker.choose(chosen, event->modifiers().testFlag(Qt::AltModifier));
    }
}

void ClipListView::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
}
