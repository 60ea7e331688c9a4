// SPDX-License-Identifier: MIT
#include "editor/ui/quotecard.h"

#include "look/kiwano.h"
#include "look/pixel.h"
#include "look/widgets/pixelpaint.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace {
constexpr int shadow = 4;
constexpr int padding = 14;
constexpr int outerPadding = 12;
constexpr int mascotHeight = 110;

// The mascot, read once per run; null when the resource is missing.
const QImage &mascot()
{
    static const QImage image(QStringLiteral(":/Images/zog-kiwano.png"));
    return image;
}

// Scales the mascot to the width it gets, within mascotHeight, keeping its proportions.
class MascotView : public QWidget
{
public:
    explicit MascotView(QWidget *parent)
        : QWidget(parent)
    {
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        setAccessibleName(QStringLiteral("ZOG"));
    }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override
    {
        const QSize size = mascot().size().scaled(width, mascotHeight, Qt::KeepAspectRatio);
        return size.height();
    }
    QSize sizeHint() const override { return QSize(mascotHeight, heightForWidth(mascotHeight)); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QSize size = mascot().size().scaled(this->size(), Qt::KeepAspectRatio);
        painter.drawImage(QRect(QPoint(0, 0), size), mascot());
    }
};

// The padded cream box with its hard shadow.
class CardBox : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const QRectF box = QRectF(rect()).adjusted(0, 0, -shadow, -shadow);
        Look::fillSnapped(painter, box.translated(shadow, shadow), Kiwano::peel);
        Look::paintPixelBox(painter, box, Kiwano::cream, true);
    }
};

// Wrapping text with lineSpacing points between its lines.
QLabel *text(const QString &string, Pixel::TextSize size, int lineSpacing, qreal opacity, QWidget *parent)
{
    const QFont font = Pixel::uiFont(size);
    const int lineHeight = QFontMetrics(font).height() + lineSpacing;
    auto *label = new QLabel(QStringLiteral("<p style=\"line-height: %1px\">%2</p>")
                                 .arg(lineHeight)
                                 .arg(string.toHtmlEscaped()),
                             parent);
    label->setTextFormat(Qt::RichText);
    label->setWordWrap(true);
    label->setFont(font);
    QPalette palette = label->palette();
    QColor color = Kiwano::peel;
    color.setAlphaF(float(opacity));
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    return label;
}

} // namespace

QuoteCard::QuoteCard(const ZogQuote &quote, QWidget *parent)
    : QScrollArea(parent)
    , m_quote(quote)
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setAutoFillBackground(false);

    auto *page = new QWidget(this);
    auto *outer = new QVBoxLayout(page);
    outer->setContentsMargins(outerPadding, outerPadding, outerPadding, outerPadding);

    auto *box = new CardBox(page);
    auto *stack = new QVBoxLayout(box);
    stack->setSpacing(12);
    stack->setContentsMargins(padding, padding, padding + shadow, padding + shadow);
    if (!mascot().isNull())
        stack->addWidget(new MascotView(box));
    for (const QString &line : quote.setupLines())
        stack->addWidget(text(line, Pixel::TextSize::Body, 4, 0.7, box));
    stack->addWidget(text(QCoreApplication::translate("QuoteCard", "“%1”", "the quote in its marks").arg(quote.quote), Pixel::TextSize::Title, 6, 1, box));
    QLabel *signature = text(QStringLiteral("\u2014 ZOG"), Pixel::TextSize::Body, 0, 1, box);
    signature->setAlignment(Qt::AlignRight);
    stack->addWidget(signature);

    outer->addWidget(box);
    outer->addStretch(1);
    setWidget(page);
    // The sidebar's tint shows through; a scroll area would paint its content opaque.
    page->setAutoFillBackground(false);
}
