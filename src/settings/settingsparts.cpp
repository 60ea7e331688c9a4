// SPDX-License-Identifier: MIT
#include "settings/settingsparts.h"

#include "look/kiwano.h"
#include "look/pixel.h"
#include "look/widgets/kiwanobutton.h"
#include "look/widgets/pixellabel.h"
#include "look/widgets/pixelpaint.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QVBoxLayout>

namespace {

constexpr int boxSide = 16;
constexpr int boxGap = 8;

QColor faded(qreal opacity)
{
    QColor color = Kiwano::peel;
    color.setAlphaF(float(opacity));
    return color;
}

void collectFocusable(QLayout *layout, QList<QWidget *> &out)
{
    if (!layout)
        return;
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem *item = layout->itemAt(i);
        if (QWidget *widget = item->widget()) {
            if (widget->focusPolicy() & Qt::TabFocus)
                out << widget;
            else
                collectFocusable(widget->layout(), out);
        } else {
            collectFocusable(item->layout(), out);
        }
    }
}

} // namespace

namespace SettingsParts {

void chainInLayoutOrder(QWidget *root)
{
    QList<QWidget *> controls;
    collectFocusable(root->layout(), controls);
    for (qsizetype i = 1; i < controls.size(); ++i)
        QWidget::setTabOrder(controls.at(i - 1), controls.at(i));
}

QVBoxLayout *section(QVBoxLayout *column, const QString &icon, const QString &title)
{
    auto *heading = new PixelLabel(icon, title, Pixel::TextSize::Title);
    heading->setAccessibleName(title);
    column->addSpacing(column->count() == 0 ? 0 : 14);
    column->addWidget(heading);
    // A rule under the title sets the sections apart.
    auto *rule = new QFrame;
    rule->setFixedHeight(2);
    rule->setAutoFillBackground(true);
    QPalette palette = rule->palette();
    palette.setColor(QPalette::Window, faded(0.35));
    rule->setPalette(palette);
    column->addWidget(rule);
    auto *rows = new QVBoxLayout;
    rows->setContentsMargins(0, 4, 0, 0);
    rows->setSpacing(8);
    column->addLayout(rows);
    return rows;
}

QLabel *text(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setFont(Pixel::uiFont());
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QLabel *caption(const QString &text, QWidget *parent)
{
    auto *label = SettingsParts::text(text, parent);
    label->setFont(Pixel::uiFont());
    Look::setTextColor(label, faded(0.75));
    return label;
}

} // namespace SettingsParts

WarningBox::WarningBox(QWidget *parent)
    : QFrame(parent)
    , m_label(SettingsParts::text(QString(), this))
    , m_open(new KiwanoButton(QString(), tr("Open"), this))
{
    auto *row = new QHBoxLayout(this);
    // Room on the left for the warning mark painted in paintEvent.
    row->setContentsMargins(34, 8, 8, 8);
    row->setSpacing(8);
    m_label->setFont(Pixel::uiFont());
    row->addWidget(m_label, 1);
    row->addWidget(m_open, 0, Qt::AlignVCenter);
    m_open->hide();
    connect(m_open, &QAbstractButton::clicked, this, &WarningBox::openClicked);
    hide();
}

QString WarningBox::text() const
{
    return m_label->text();
}

void WarningBox::setText(const QString &text)
{
    m_label->setText(text);
    setAccessibleName(text);
    setVisible(!text.isEmpty());
}

void WarningBox::setOpenVisible(bool visible)
{
    m_open->setVisible(visible);
}

void WarningBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    Look::paintPixelBox(painter, rect(), Kiwano::yellow, false);
    Look::drawIcon(painter, QRectF(8, 8, 18, 18), QStringLiteral("eye"), 18, Kiwano::peel);
}

PixelToggle::PixelToggle(const QString &text, QWidget *parent) : QAbstractButton(parent)
{
    setCheckable(true);
    setText(text);
    setAccessibleName(text);
    setFont(Pixel::uiFont());
    setFocusPolicy(Qt::StrongFocus);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

QRect PixelToggle::textRect(int width) const
{
    const int left = boxSide + boxGap;
    const QRect bounds = fontMetrics().boundingRect(QRect(0, 0, std::max(width - left - 4, 40), 10000),
                                                    Qt::TextWordWrap, text());
    return QRect(left, 0, bounds.width(), std::max(bounds.height(), boxSide + 4));
}

int PixelToggle::heightForWidth(int width) const
{
    return textRect(width).height() + 4;
}

QSize PixelToggle::sizeHint() const
{
    const int width = boxSide + boxGap + fontMetrics().horizontalAdvance(text()) + 4;
    return QSize(std::min(width, 520), heightForWidth(std::min(width, 520)));
}

QSize PixelToggle::minimumSizeHint() const
{
    return QSize(boxSide + boxGap + 80, boxSide + 4);
}

void PixelToggle::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!isEnabled())
        painter.setOpacity(0.4);
    const QRect words = textRect(width());
    const int lineHeight = fontMetrics().height();
    // The box sits beside the first line.
    const QRectF box(0, 2 + std::max(0, (lineHeight - boxSide) / 2), boxSide, boxSide);
    Look::paintPixelBox(painter, box, isDown() ? Kiwano::yellow : Kiwano::cream, isChecked());
    if (isChecked())
        Look::drawIcon(painter, box, QStringLiteral("check"), 14, Kiwano::peel);
    painter.setPen(Kiwano::peel);
    painter.setFont(font());
    painter.drawText(words.translated(0, 2), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text());
    if (hasFocus()) {
        QPen dashed(Kiwano::peel, 1, Qt::DashLine);
        painter.setPen(dashed);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(box).adjusted(-3.5, -3.5, 3.5, 3.5));
    }
}
