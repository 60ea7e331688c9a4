// SPDX-License-Identifier: MIT
#include "editor/ui/editorview.h"

#include "editor/model/editormodel.h"
#include "editor/ui/canvasarea.h"
#include "editor/ui/editoractions.h"
#include "editor/ui/resizepanel.h"
#include "editor/ui/savedialog.h"
#include "editor/ui/sidebar.h"
#include "editor/ui/toolbar.h"
#include "look/kiwano.h"
#include "look/widgets/actiontoast.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

EditorView::EditorView(EditorModel *model, const EditorDesktop &desktop, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_actions(new EditorActions(model, this))
    , m_toolbar(new Toolbar(model, m_actions, this))
    , m_canvasArea(new CanvasArea(model, this))
    , m_sidebar(new Sidebar(model, m_actions, desktop.colors, this))
    , m_toast(new ActionToast(this))
{
    // The model asks where to save, and shows what it saved, through the view: it holds no
    // widget of its own.
    if (!model->hasSaveDialog())
        model->setSaveDialog(&SaveDialog::ask);
    model->setFileRevealer(desktop.revealFile);
    if (desktop.exports)
        model->setExportQueue(desktop.exports);
    auto *column = new QVBoxLayout(this);
    column->setSpacing(0);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(m_toolbar);
    auto *row = new QHBoxLayout;
    row->setSpacing(0);
    row->addWidget(m_canvasArea, 1);
    row->addWidget(m_sidebar);
    column->addLayout(row, 1);

    connect(m_actions, &EditorActions::resizeRequested, this, &EditorView::openResize);
    if (desktop.pin)
        connect(m_actions, &EditorActions::pinRequested, this, [pin = desktop.pin, model] { pin(model->flatten()); });
    else
        m_actions->action(EditorActions::pin)->setVisible(false);

    // The model times its notices; the toast shows the one it holds, for as long as it holds it.
    connect(model, &EditorModel::toastChanged, this, &EditorView::showToast);
    connect(m_toast, &ActionToast::actionTriggered, model, &EditorModel::triggerToastAction);
    showToast();

    // Any press inside the view puts the quote away and still reaches the control under it.
    qApp->installEventFilter(this);
}

bool EditorView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress && watched->isWidgetType() && m_model->quote()
        && isAncestorOf(static_cast<QWidget *>(watched)))
        m_model->setQuote(std::nullopt);
    return QWidget::eventFilter(watched, event);
}

void EditorView::openResize()
{
    if (m_resizePopup)
        return;
    auto *popup = new QFrame(this, Qt::Popup);
    popup->setAttribute(Qt::WA_DeleteOnClose);
    popup->setFrameShape(QFrame::NoFrame);
    popup->setAutoFillBackground(true);
    QPalette palette = popup->palette();
    // The frame shows as a peel border around the panel, so it stands out from the toolbar.
    palette.setColor(QPalette::Window, Kiwano::peel);
    popup->setPalette(palette);
    auto *layout = new QVBoxLayout(popup);
    layout->setContentsMargins(2, 2, 2, 2);
    auto *panel = new ResizePanel(m_model, popup);
    layout->addWidget(panel);
    connect(panel, &ResizePanel::closeRequested, popup, &QWidget::close);
    connect(popup, &QObject::destroyed, this, [this] { m_resizePopup = nullptr; });
    m_resizePopup = popup;

    const QWidget *anchor = m_toolbar->resizeButton();
    popup->adjustSize();
    const QPoint below = anchor->mapToGlobal(QPoint(anchor->width() / 2, anchor->height()));
    popup->move(below.x() - popup->width() / 2, below.y() + 4);
    popup->show();
    panel->setFocus(Qt::PopupFocusReason);
}

void EditorView::showToast()
{
    if (const std::optional<QString> text = m_model->toast())
        m_toast->post({*text, m_model->toastAction().value_or(QString()), QStringLiteral("kiwano"), 0});
    else
        m_toast->dismiss();
}

void EditorView::resizeEvent(QResizeEvent *)
{
    m_toast->raise();
}

void EditorView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Kiwano::cream);
}
