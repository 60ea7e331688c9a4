// SPDX-License-Identifier: MIT
#include "editor/ui/toolbar.h"

#include "editor/model/editormodel.h"
#include "editor/ui/actionbutton.h"
#include "editor/ui/editoractions.h"
#include "look/kiwano.h"
#include "look/widgets/pixelpaint.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QResizeEvent>

namespace {
constexpr int rule = 2;
constexpr int padding = 10;
constexpr int minimumLabelWidth = 46;
constexpr int gapBeforeActions = 16;

void styleAsToolLabel(KiwanoButton *button)
{
    button->setLayout(KiwanoButton::Layout::under);
    button->setMinimumFaceWidth(minimumLabelWidth);
}
} // namespace

Toolbar::Toolbar(EditorModel *model, EditorActions *actions, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
{
    auto *row = new QHBoxLayout(this);
    row->setSpacing(6);
    row->setContentsMargins(padding, padding, padding, padding + rule);

    for (Tool tool : Tools::toolbar()) {
        auto *button = new KiwanoButton(icon(tool), label(tool), this);
        styleAsToolLabel(button);
        button->setToolTip(tr("%1 (%2)").arg(label(tool), shortcutKey(tool)));
        connect(button, &QAbstractButton::clicked, this, [this, tool] { m_model->chooseTool(tool); });
        row->addWidget(button, 0, Qt::AlignVCenter);
        m_toolButtons.insert(tool, button);
        m_buttons << button;
    }
    row->addSpacing(gapBeforeActions);
    row->addStretch(1);

    for (auto id : {EditorActions::watermark, EditorActions::resize, EditorActions::undo,
                    EditorActions::redo, EditorActions::copy, EditorActions::pin, EditorActions::save}) {
        auto *button = new ActionButton(actions->action(id),
                                        QString::fromLatin1(EditorActions::entry(id).icon), this);
        styleAsToolLabel(button);
        row->addWidget(button, 0, Qt::AlignVCenter);
        m_buttons << button;
        if (id == EditorActions::resize)
            m_resizeButton = button;
    }

    connect(model, &EditorModel::toolChanged, this, &Toolbar::updateSelection);
    updateSelection();
}

void Toolbar::updateSelection()
{
    for (auto it = m_toolButtons.cbegin(); it != m_toolButtons.cend(); ++it)
        it.value()->setSelected(m_model->tool() == it.key());
}

int Toolbar::fullWidth() const
{
    auto *row = static_cast<QHBoxLayout *>(layout());
    const QMargins margins = row->contentsMargins();
    int width = margins.left() + margins.right() + gapBeforeActions + row->spacing() * int(m_buttons.size());
    for (KiwanoButton *button : m_buttons)
        if (!button->isHidden())
            width += button->titledSizeHint().width();
    return width;
}

void Toolbar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // A tiling window manager may give the window less than it asks: then the buttons keep
    // their icons and lose their titles rather than clip them.
    const bool roomy = event->size().width() >= fullWidth();
    for (KiwanoButton *button : m_buttons)
        button->setTitleShown(roomy);
}

void Toolbar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    Look::fillSnapped(painter, rect(), Kiwano::yellow);
    Look::fillSnapped(painter, QRectF(0, height() - rule, width(), rule), Kiwano::peel);
}
