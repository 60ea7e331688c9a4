// SPDX-License-Identifier: MIT
#include "app/stripview.h"

#include <QContextMenuEvent>
#include <QFileInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QScrollBar>

#include "app/filemanager.h"
#include "app/historydelegate.h"
#include "app/historymodel.h"
#include "capture/appstate.h"
#include "capture/history.h"
#include "editor/model/editormodel.h"
#include "look/kiwano.h"
#include "look/pixel.h"

namespace {

QIcon pixelIcon(const QString &name)
{
    const auto mask = Pixel::image(name, 16);
    return mask ? QIcon(QPixmap::fromImage(Pixel::tinted(*mask, Kiwano::peel))) : QIcon();
}

} // namespace

StripView::StripView(AppState *state, HistoryModel *model, QWidget *parent)
    : QListView(parent)
    , m_state(state)
    , m_model(model)
{
    setModel(model);
    setFlow(QListView::LeftToRight);
    setWrapping(false);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::NoSelection);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The strip scrolls the selection to the centre itself, animated.
    setAutoScroll(false);
    setFrameShape(QFrame::NoFrame);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The strip's yellow shows through.
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    setPalette(palette);
    viewport()->setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(tr("Grabs"));
    setViewportMargins(9, 0, 9, 0);
}

int StripView::selectedRow() const
{
    const auto &selected = m_state->selected();
    return selected ? m_model->row(*selected) : -1;
}

void StripView::selectRow(int row)
{
    const auto &entries = m_state->entries();
    if (row >= 0 && row < entries.size())
        m_state->setSelected(entries.at(row).url);
}

void StripView::focusInEvent(QFocusEvent *event)
{
    QListView::focusInEvent(event);
    // The focus ring reaches past its item.
    viewport()->update();
}

void StripView::focusOutEvent(QFocusEvent *event)
{
    QListView::focusOutEvent(event);
    viewport()->update();
}

void StripView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QListView::currentChanged(current, previous);
    viewport()->update();
}

void StripView::paintEvent(QPaintEvent *event)
{
    QListView::paintEvent(event);
    if (!hasFocus() || currentIndex().isValid())
        return;
    // With no grab to ring, the row itself shows that it has the keys.
    QPainter painter(viewport());
    HistoryDelegate::paintFocusRing(painter, QRectF(viewport()->rect()).adjusted(2, 2, -2, -2));
}

void StripView::mousePressEvent(QMouseEvent *event)
{
    setFocus(Qt::MouseFocusReason);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid())
        selectRow(index.row());
    event->accept();
}

void StripView::keyPressEvent(QKeyEvent *event)
{
    const int row = selectedRow();
    switch (event->key()) {
    case Qt::Key_Left:
        selectRow(row < 0 ? 0 : std::max(0, row - 1));
        break;
    case Qt::Key_Right:
        selectRow(row < 0 ? 0 : std::min(int(m_state->entries().size()) - 1, row + 1));
        break;
    case Qt::Key_Home:
        selectRow(0);
        break;
    case Qt::Key_End:
        selectRow(int(m_state->entries().size()) - 1);
        break;
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        if (row >= 0)
            m_state->trash(m_state->entries().at(row));
        break;
    default:
        // Leaves Menu to become a context menu event, Tab to move the focus.
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void StripView::wheelEvent(QWheelEvent *event)
{
    // A mouse wheel only turns vertically; in a row, that means sideways.
    const QPoint pixels = event->pixelDelta();
    const QPoint angle = event->angleDelta();
    int delta = 0;
    if (!pixels.isNull())
        delta = std::abs(pixels.x()) > std::abs(pixels.y()) ? pixels.x() : pixels.y();
    else
        delta = (std::abs(angle.x()) > std::abs(angle.y()) ? angle.x() : angle.y()) / 2;
    QScrollBar *bar = horizontalScrollBar();
    bar->setValue(bar->value() - delta);
    event->accept();
}

QMenu *StripView::menuFor(int row, QWidget *parent)
{
    const GrabEntry entry = m_state->entries().at(row);
    auto *menu = new QMenu(parent);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (m_pin) {
        QPointer<AppState> state(m_state);
        menu->addAction(pixelIcon(QStringLiteral("bookmark")), tr("Pin on Screen"), menu, [state, entry, pin = m_pin] {
            if (!state)
                return;
            // With its layers of this run when it has a model; else as its file holds it.
            EditorModel *model = state->models().value(entry.url) ? state->model(entry.url) : nullptr;
            const QImage picture = model ? model->flatten() : History::image(entry);
            if (!picture.isNull())
                pin(picture, QFileInfo(entry.path()).fileName());
        });
    }
    menu->addAction(pixelIcon(QStringLiteral("folder")), tr("Show in File Manager"), menu,
                    [path = entry.path()] { FileManager::reveal(path); });
    QPointer<AppState> state(m_state);
    menu->addAction(pixelIcon(QStringLiteral("trash")), tr("Move to Trash"), menu, [state, entry] {
        if (state)
            state->trash(entry);
    });
    return menu;
}

void StripView::contextMenuEvent(QContextMenuEvent *event)
{
    int row = -1;
    QPoint at = event->pos();
    if (event->reason() == QContextMenuEvent::Mouse) {
        // Mouse events reach a scroll area in its viewport's coordinates.
        row = indexAt(event->pos()).row();
    } else {
        row = selectedRow();
        at = visualRect(m_model->index(row)).center();
    }
    if (row < 0)
        return;
    menuFor(row, this)->popup(viewport()->mapToGlobal(at));
    event->accept();
}
