// SPDX-License-Identifier: MIT
#include "app/rootview.h"

#include <QPainter>
#include <QVBoxLayout>

#include "app/emptystate.h"
#include "app/grabplaceholder.h"
#include "app/historystrip.h"
#include "app/stripview.h"
#include "capture/appstate.h"
#include "editor/ui/editorview.h"
#include "look/kiwano.h"
#include "look/widgets/actiontoast.h"
#include "look/widgets/kiwanobutton.h"

#include <malloc.h>

RootView::RootView(AppState *state, const EditorDesktop &desktop, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
    , m_desktop(desktop)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_upper = new QVBoxLayout;
    m_upper->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(m_upper, 1);

    m_empty = new EmptyState(state, this);
    m_placeholder = new GrabPlaceholder(this);
    m_upper->addWidget(m_empty);
    m_upper->addWidget(m_placeholder);
    m_strip = new HistoryStrip(state, this);
    layout->addWidget(m_strip);

    m_toast = new ActionToast(this);
    // Right after the strip that sent the grab away, for Tab.
    setTabOrder(m_strip->view(), m_toast->actionButton());
    connect(m_toast, &ActionToast::actionTriggered, state, &AppState::restoreTrashed);
    connect(m_toast, &ActionToast::closed, state, &AppState::forgetTrashed);

    connect(state, &AppState::selectedChanged, this, &RootView::selectedChanged);
    connect(state, &AppState::modelReady, this, &RootView::modelReady);
    connect(state, &AppState::modelFailed, this, &RootView::modelFailed);
    m_trim.setSingleShot(true);
    m_trim.setInterval(1500);
    connect(&m_trim, &QTimer::timeout, this, [] { malloc_trim(0); });
    connect(state, &AppState::grabTrashed, this, &RootView::grabTrashed);
    connect(state, &AppState::trashFailed, this, &RootView::trashFailed);
    connect(state, &AppState::grabRestored, this, &RootView::grabRestored);
    connect(state, &AppState::restoreFailed, this, &RootView::restoreFailed);
    selectedChanged();
}

bool RootView::isWaiting() const
{
    return !m_placeholder->isHidden();
}

void RootView::selectedChanged()
{
    // The editor of the grab shown before goes at once: its model may be on its way out.
    delete m_editor;
    m_trim.start();
    const auto &selected = m_state->selected();
    const auto &entries = m_state->entries();
    const auto entry = selected ? std::find_if(entries.cbegin(), entries.cend(),
                                               [&](const GrabEntry &e) { return e.url == *selected; })
                                : entries.cend();
    if (entry == entries.cend()) {
        showOnly(m_empty);
        return;
    }
    if (m_state->currentModel()) {
        showEditor();
        return;
    }
    m_placeholder->setEntry(*entry);
    showOnly(m_placeholder);
    m_state->prepareModel(*selected);
}

void RootView::modelReady(const QUrl &url)
{
    if (m_state->selected() == url && !m_editor)
        showEditor();
}

void RootView::modelFailed(const QUrl &url)
{
    if (m_state->selected() == url && !m_editor)
        showOnly(m_empty);
}

void RootView::showEditor()
{
    EditorModel *model = m_state->currentModel();
    if (!model && m_state->selected())
        model = m_state->model(*m_state->selected());
    if (!model) {
        showOnly(m_empty);
        return;
    }
    m_editor = new EditorView(model, m_desktop, this);
    m_upper->addWidget(m_editor);
    showOnly(m_editor);
}

void RootView::showOnly(QWidget *upper)
{
    for (QWidget *widget : {static_cast<QWidget *>(m_empty), static_cast<QWidget *>(m_placeholder),
                            static_cast<QWidget *>(m_editor.data())}) {
        if (widget && widget != upper)
            widget->hide();
    }
    upper->show();
    m_toast->raise();
}

void RootView::grabTrashed(const GrabEntry &entry)
{
    m_toast->post({tr("Moved %1 to the Trash").arg(entry.url.fileName()), tr("Undo"), QStringLiteral("trash")});
}

void RootView::trashFailed(const GrabEntry &entry, const QString &reason)
{
    m_toast->post({tr("Kept %1: %2").arg(entry.url.fileName(), reason), {},
                   QStringLiteral("kiwano"), 10000});
}

void RootView::grabRestored(const GrabEntry &entry)
{
    m_toast->post({tr("Put %1 back").arg(entry.url.fileName()), {}, QStringLiteral("kiwano"), 2500});
}

void RootView::restoreFailed(const GrabEntry &entry, const QString &reason)
{
    m_toast->post({tr("Couldn't put %1 back: %2").arg(entry.url.fileName(), reason), {},
                   QStringLiteral("kiwano"), 10000});
}

void RootView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // Over the editor, just above the strip.
    m_toast->setArea(QRect(0, 0, width(), height() - HistoryStrip::height));
}

void RootView::setPinner(const StripView::Pinner &pin)
{
    m_strip->view()->setPinner(pin);
    m_desktop.pin = nullptr;
    if (!pin)
        return;
    QPointer<AppState> state(m_state);
    m_desktop.pin = [state, pin](const QImage &picture) {
        if (state && state->selected())
            pin(picture, state->selected()->fileName());
    };
}

void RootView::paintEvent(QPaintEvent *)
{
    QPainter(this).fillRect(rect(), Kiwano::cream);
}
