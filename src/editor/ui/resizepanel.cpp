// SPDX-License-Identifier: MIT
#include "editor/ui/resizepanel.h"

#include "editor/model/editormodel.h"
#include "editor/ui/properties/field.h"
#include "editor/ui/sizetext.h"
#include "look/kiwano.h"
#include "look/pixel.h"
#include "look/widgets/kiwanobutton.h"
#include "look/widgets/kiwanostyle.h"
#include "look/widgets/pixellabel.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QVBoxLayout>

namespace {

// A number field: its title above a plain field.
QWidget *numberField(const QString &title, QLineEdit *field, QWidget *parent)
{
    auto *box = new QWidget(parent);
    auto *column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);
    auto *label = new QLabel(title, box);
    label->setFont(Pixel::uiFont());
    label->setBuddy(field);
    column->addWidget(label);
    column->addWidget(field);
    field->setAccessibleName(title);
    return box;
}

} // namespace

ResizePanel::ResizePanel(EditorModel *model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
{
    Look::setTextColor(this, Kiwano::peel);
    setFixedWidth(300);
    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(16, 16, 16, 16);
    stack->setSpacing(12);
    stack->setSizeConstraint(QLayout::SetMinimumSize);

    stack->addWidget(new PixelLabel(QStringLiteral("expand"), tr("Resize"), Pixel::TextSize::Title, this));
    const QSize now = model->imageSize().toSize();
    m_now = hintLabel(tr("Now %1 × %2 px").arg(now.width()).arg(now.height()), this);
    stack->addWidget(m_now);

    auto *sizeRow = new QHBoxLayout;
    sizeRow->setSpacing(8);
    m_width = Look::textField(6, 96, this);
    m_height = Look::textField(6, 96, this);
    m_lock = new KiwanoButton(QStringLiteral("lock"), QString(), this);
    sizeRow->addWidget(numberField(tr("Width"), m_width, this));
    sizeRow->addWidget(m_lock, 0, Qt::AlignBottom);
    sizeRow->addWidget(numberField(tr("Height"), m_height, this));
    sizeRow->addStretch();
    stack->addLayout(sizeRow);

    auto *presets = new QHBoxLayout;
    presets->setSpacing(6);
    for (const int percent : {25, 50, 75, 200}) {
        auto *preset = new KiwanoButton(QString(), QStringLiteral("%1%").arg(percent), this);
        connect(preset, &QAbstractButton::clicked, this, [this, percent] { setScale(percent / 100.0); });
        presets->addWidget(preset);
    }
    presets->addStretch();
    stack->addLayout(presets);

    auto *actions = new QHBoxLayout;
    auto *cancel = new KiwanoButton(QStringLiteral("xmark"), tr("Cancel"), this);
    m_apply = new KiwanoButton(QStringLiteral("check"), tr("Apply"), this);
    actions->addWidget(cancel);
    actions->addStretch();
    actions->addWidget(m_apply);
    stack->addLayout(actions);

    connect(cancel, &QAbstractButton::clicked, this, &ResizePanel::closeRequested);
    connect(m_apply, &QAbstractButton::clicked, this, &ResizePanel::apply);
    connect(m_lock, &QAbstractButton::clicked, this, [this] { setLocked(!m_locked); });
    connect(m_width, &QLineEdit::textEdited, this, &ResizePanel::widthEdited);
    connect(m_height, &QLineEdit::textEdited, this, &ResizePanel::heightEdited);
    // Return in a field reaches keyPressEvent: the fields pass it on to their parent.

    setTabOrder(m_width, m_lock);
    setTabOrder(m_lock, m_height);
    setLocked(true);
    setScale(1);
    // Focus given to the panel (as its popup opens) goes to the width, ready for typing.
    setFocusProxy(m_width);
    m_width->setFocus();
}

void ResizePanel::setScale(qreal scale)
{
    const QSizeF size = m_model->imageSize();
    m_width->setText(SizeText::whole(scale * size.width()));
    m_height->setText(SizeText::whole(scale * size.height()));
    updateApply();
}

void ResizePanel::apply()
{
    const std::optional<QSizeF> size = SizeText::requestedSize(m_width->text(), m_height->text());
    if (!size)
        return;
    m_model->resize(*size);
    emit closeRequested();
}

qreal ResizePanel::aspect() const
{
    const QSizeF size = m_model->imageSize();
    return size.height() > 0 ? size.width() / size.height() : 1;
}

void ResizePanel::widthEdited(const QString &text)
{
    if (const std::optional<double> w = SizeText::parse(text); m_locked && w)
        m_height->setText(SizeText::lockedOther(*w, aspect(), true));
    updateApply();
}

void ResizePanel::heightEdited(const QString &text)
{
    if (const std::optional<double> h = SizeText::parse(text); m_locked && h)
        m_width->setText(SizeText::lockedOther(*h, aspect(), false));
    updateApply();
}

void ResizePanel::setLocked(bool locked)
{
    m_locked = locked;
    m_lock->setIconName(locked ? QStringLiteral("lock") : QStringLiteral("lock-open"));
    m_lock->setSelected(locked);
    m_lock->setToolTip(locked ? tr("Ratio locked") : tr("Ratio unlocked"));
}

void ResizePanel::updateApply()
{
    m_apply->setEnabled(SizeText::requestedSize(m_width->text(), m_height->text()).has_value());
}

void ResizePanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Kiwano::yellow);
}

void ResizePanel::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        emit closeRequested();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Return on a focused button presses that button (Cancel must not apply).
        if (auto *button = qobject_cast<QAbstractButton *>(focusWidget()); button && isAncestorOf(button))
            button->click();
        else
            apply();
        return;
    }
    QWidget::keyPressEvent(event);
}
