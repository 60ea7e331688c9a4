// SPDX-License-Identifier: MIT
#include "editor/ui/canvas/cropcontrols.h"

#include "look/kiwano.h"
#include "look/pixel.h"
#include "look/widgets/kiwanobutton.h"
#include "look/widgets/pixelpaint.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPainter>
#include <QShortcut>

#include <cmath>

namespace {

constexpr int shadowOffset = 4;

} // namespace

CropSizeLabel::CropSizeLabel(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void CropSizeLabel::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    resize(sizeHint());
    update();
}

QSize CropSizeLabel::sizeHint() const
{
    const QFontMetricsF metrics(Pixel::uiFont());
    return QSize(int(std::ceil(metrics.horizontalAdvance(m_text))) + 12,
                 int(std::ceil(metrics.height())) + 8);
}

void CropSizeLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    Look::paintPixelBox(painter, rect(), Kiwano::yellow, true);
    painter.setFont(Pixel::uiFont());
    painter.setPen(Kiwano::peel);
    painter.drawText(rect(), Qt::AlignCenter, m_text);
}

CropBar::CropBar(QWidget *parent)
    : QWidget(parent)
    , m_cancel(new KiwanoButton(QStringLiteral("xmark"), tr("Cancel"), this))
    , m_apply(new KiwanoButton(QStringLiteral("check"), tr("Apply Crop"), this))
{
    auto *row = new QHBoxLayout(this);
    // The shadow lies in the margin right and below the box.
    row->setContentsMargins(8, 8, 8 + shadowOffset, 8 + shadowOffset);
    row->setSpacing(8);
    row->addWidget(m_cancel);
    row->addWidget(m_apply);
    setTabOrder(m_cancel, m_apply);
    connect(m_cancel, &QAbstractButton::clicked, this, &CropBar::cancelled);
    connect(m_apply, &QAbstractButton::clicked, this, &CropBar::applied);
    // Window-wide while the bar is shown; a hidden bar's shortcuts do not fire.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, m_cancel, &QAbstractButton::click);
    for (const int key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto *confirm = new QShortcut(QKeySequence(key), this);
        connect(confirm, &QShortcut::activated, m_apply, &QAbstractButton::click);
    }
}

void CropBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRectF box = QRectF(rect()).adjusted(0, 0, -shadowOffset, -shadowOffset);
    Look::fillSnapped(painter, box.translated(shadowOffset, shadowOffset), Kiwano::peel);
    Look::paintPixelBox(painter, box, Kiwano::yellow, true);
}
