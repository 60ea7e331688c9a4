// SPDX-License-Identifier: MIT
#include "editor/ui/sidebar.h"

#include "editor/model/editormodel.h"
#include "editor/ui/layerspanel.h"
#include "editor/ui/properties/propertiespanel.h"
#include "editor/ui/quotecard.h"
#include "look/kiwano.h"
#include "look/widgets/pixelpaint.h"

#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QVariantAnimation>

#include <cmath>

namespace {
constexpr int edge = 2;
constexpr int rule = 2;
constexpr qreal tint = 0.35;
constexpr qreal layersShare = 0.4;
constexpr int slideMs = 260;

// The peel rule between the layers and the properties.
class Rule : public QWidget
{
public:
    explicit Rule(QWidget *parent)
        : QWidget(parent)
    {
        setFixedHeight(rule);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        Look::fillSnapped(painter, rect(), Kiwano::peel);
    }
};
} // namespace

Sidebar::Sidebar(EditorModel *model, EditorActions *actions, ColorPanelBridge *chooser,
                 QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_normal(new QWidget(this))
    , m_layers(new LayersPanel(model, actions, m_normal))
    , m_properties(new PropertiesPanel(model, chooser))
    , m_slide(new QVariantAnimation(this))
{
    setFixedWidth(columnWidth);
    auto *column = new QVBoxLayout(m_normal);
    column->setSpacing(0);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(m_layers);
    column->addWidget(new Rule(m_normal));
    auto *scroll = new QScrollArea(m_normal);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->viewport()->setAutoFillBackground(false);
    scroll->setWidget(m_properties);
    // The sidebar's tint shows through; a scroll area would paint its content opaque.
    m_properties->setAutoFillBackground(false);
    column->addWidget(scroll, 1);

    m_slide->setDuration(slideMs);
    m_slide->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_slide, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_cardIn = value.toReal();
        placeCard();
    });
    connect(m_slide, &QVariantAnimation::finished, this, [this] {
        if (!m_card)
            return;
        m_card->setGraphicsEffect(nullptr);
        if (m_cardIn <= 0) {
            m_card->deleteLater();
            m_card = nullptr;
        } else {
            m_normal->hide();
        }
    });
    connect(model, &EditorModel::quoteChanged, this, &Sidebar::followQuote);
    followQuote();
    // The first card of a view is there from the start, without sliding.
    if (m_card) {
        m_slide->stop();
        m_card->setGraphicsEffect(nullptr);
        m_cardIn = 1;
        m_normal->hide();
    }
}

void Sidebar::followQuote()
{
    const std::optional<ZogQuote> &quote = m_model->quote();
    if (quote && m_card && m_card->quote() == *quote && m_slide->endValue().toReal() > 0)
        return;
    if (!quote && !m_card)
        return;
    if (quote) {
        delete m_card;
        m_card = new QuoteCard(*quote, this);
        m_cardIn = 0;
        m_card->show();
        m_card->raise();
    } else {
        m_normal->show();
        m_card->raise();
    }
    m_card->setGraphicsEffect(new QGraphicsOpacityEffect(m_card));
    m_slide->stop();
    m_slide->setStartValue(m_cardIn);
    m_slide->setEndValue(quote ? 1.0 : 0.0);
    m_slide->start();
    placeCard();
}

void Sidebar::placeCard()
{
    if (!m_card)
        return;
    const int inner = columnWidth - edge;
    const int offset = int(std::lround((1 - m_cardIn) * inner));
    m_card->setGeometry(edge + offset, 0, inner, height());
    if (auto *effect = qobject_cast<QGraphicsOpacityEffect *>(m_card->graphicsEffect()))
        effect->setOpacity(m_cardIn);
}

void Sidebar::resizeEvent(QResizeEvent *)
{
    m_normal->setGeometry(edge, 0, columnWidth - edge, height());
    m_layers->setFixedHeight(int(std::lround(height() * layersShare)));
    placeCard();
}

void Sidebar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Kiwano::cream);
    QColor tinted = Kiwano::yellow;
    tinted.setAlphaF(float(tint));
    painter.fillRect(rect(), tinted);
    Look::fillSnapped(painter, QRectF(0, 0, edge, height()), Kiwano::peel);
}
