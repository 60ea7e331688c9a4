// SPDX-License-Identifier: MIT
#include "app/historystrip.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPointer>
#include <QPainter>
#include <QPropertyAnimation>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include "app/historydelegate.h"
#include "app/historymodel.h"
#include "app/stripview.h"
#include "capture/appstate.h"
#include "editor/model/imageimport.h"
#include "look/kiwano.h"
#include "look/widgets/pixelpaint.h"

namespace {

// The dashed outline of a hovering drop; it lies over the thumbnails and takes no clicks.
class DropBorder : public QWidget
{
public:
    explicit DropBorder(QWidget *parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        QPen pen(Kiwano::peel, 3);
        pen.setDashPattern({8.0 / 3, 6.0 / 3}); // in units of the pen width
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        painter.drawRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5));
    }
};

bool acceptable(const QMimeData *mime)
{
    const QStringList types = ImageImport::dropTypes();
    return mime && std::any_of(types.cbegin(), types.cend(),
                               [mime](const QString &type) { return mime->hasFormat(type); });
}

} // namespace

HistoryStrip::HistoryStrip(AppState *state, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
    , m_model(new HistoryModel(state, this))
{
    setFixedHeight(height);
    setAcceptDrops(true);

    m_view = new StripView(state, m_model, this);
    auto *delegate = new HistoryDelegate(m_view);
    delegate->setLiftOf([this](const QModelIndex &index) -> qreal {
        const QUrl url = index.data(HistoryModel::UrlRole).toUrl();
        const qreal t = m_lift.state() == QAbstractAnimation::Running ? m_lift.currentValue().toReal() : 1.0;
        if (m_rising == url)
            return t;
        if (m_settling == url)
            return 1.0 - t;
        return 0.0;
    });
    m_view->setItemDelegate(delegate);
    m_view->setSpacing(5); // around every item: 10 between neighbours

    auto *layout = new QVBoxLayout(this);
    // 2 for the rule along the top; with the view's own spacing, 14 at the sides and 10 above
    // and below the thumbnails.
    layout->setContentsMargins(0, 2 + 5, 0, 5);
    layout->addWidget(m_view);

    m_border = new DropBorder(this);
    m_scroll = new QPropertyAnimation(m_view->horizontalScrollBar(), "value", this);
    m_scroll->setDuration(250);
    m_scroll->setEasingCurve(QEasingCurve::OutCubic);

    m_lift.setStartValue(0.0);
    m_lift.setEndValue(1.0);
    m_lift.setDuration(150);
    m_lift.setEasingCurve(QEasingCurve::OutBack);
    connect(&m_lift, &QVariantAnimation::valueChanged, m_view->viewport(),
            qOverload<>(&QWidget::update));

    m_rising = state->selected();
    followSelection();
    connect(state, &AppState::selectedChanged, this, &HistoryStrip::selectedChanged);
    connect(m_model, &QAbstractItemModel::modelReset, this, &HistoryStrip::followSelection);
}

void HistoryStrip::selectedChanged()
{
    m_settling = m_rising;
    m_rising = m_state->selected();
    followSelection();
    if (isVisible())
        m_lift.start();
    if (!m_rising)
        return;
    // After the list has laid out a just-inserted grab.
    QTimer::singleShot(0, this, [this] { centreSelection(isVisible()); });
}

void HistoryStrip::followSelection()
{
    // The view's current item is the selected grab, so that focus is drawn around it.
    const auto &selected = m_state->selected();
    const int row = selected ? m_model->row(*selected) : -1;
    m_view->selectionModel()->setCurrentIndex(row < 0 ? QModelIndex() : m_model->index(row),
                                              QItemSelectionModel::NoUpdate);
}

void HistoryStrip::centreSelection(bool animated)
{
    const auto &selected = m_state->selected();
    const int row = selected ? m_model->row(*selected) : -1;
    if (row < 0)
        return;
    m_view->doItemsLayout();
    const QRect item = m_view->visualRect(m_model->index(row));
    QScrollBar *bar = m_view->horizontalScrollBar();
    const int target = std::clamp(bar->value() + item.center().x() - m_view->viewport()->width() / 2,
                                  bar->minimum(), bar->maximum());
    m_scroll->stop();
    if (!animated) {
        bar->setValue(target);
        return;
    }
    m_scroll->setStartValue(bar->value());
    m_scroll->setEndValue(target);
    m_scroll->start();
}

void HistoryStrip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    Look::fillSnapped(painter, rect(), Kiwano::yellow);
    Look::fillSnapped(painter, QRectF(0, 0, width(), 2), Kiwano::peel);
}

void HistoryStrip::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // Below the rule along the top, so the dashes stand out from it.
    m_border->setGeometry(rect().adjusted(0, 2, 0, 0));
}

void HistoryStrip::setTargeted(bool targeted)
{
    m_targeted = targeted;
    m_border->setVisible(targeted);
    if (targeted)
        m_border->raise();
}

void HistoryStrip::dragEnterEvent(QDragEnterEvent *event)
{
    if (!acceptable(event->mimeData()))
        return event->ignore();
    event->acceptProposedAction();
    setTargeted(true);
}

void HistoryStrip::dragLeaveEvent(QDragLeaveEvent *)
{
    setTargeted(false);
}

void HistoryStrip::dropEvent(QDropEvent *event)
{
    setTargeted(false);
    QPointer<AppState> state(m_state);
    const bool started = ImageImport::load(event->mimeData(), this, [state](QImage image) {
        if (state)
            state->addAsNewGrab(image);
    });
    if (started)
        event->acceptProposedAction();
    else
        event->ignore();
}
