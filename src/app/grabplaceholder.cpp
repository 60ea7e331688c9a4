// SPDX-License-Identifier: MIT
#include "app/grabplaceholder.h"

#include <QPainter>

#include "app/historydelegate.h"
#include "capture/history.h"
#include "capture/thumbnailcache.h"
#include "look/kiwano.h"
#include "look/widgets/pixelpaint.h"

GrabPlaceholder::GrabPlaceholder(QWidget *parent)
    : QWidget(parent)
{
    setAccessibleName(tr("Opening grab"));
    connect(History::thumbnails(), &ThumbnailCache::thumbnailReady, this, [this](const QUrl &url) {
        if (url == m_entry.url)
            update();
    });
}

void GrabPlaceholder::setEntry(const GrabEntry &entry)
{
    m_entry = entry;
    update();
}

void GrabPlaceholder::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Kiwano::cream);
    const QImage picture = m_entry.url.isEmpty() ? QImage() : History::thumbnail(m_entry);
    const QRectF area = QRectF(rect()).adjusted(24, 24, -24, -24);
    if (picture.isNull()) {
        Look::drawIcon(painter, area, QStringLiteral("kiwano"), 96, Kiwano::ripe);
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setOpacity(0.6);
    painter.drawImage(HistoryDelegate::letterbox(picture.size(), area), picture);
}
