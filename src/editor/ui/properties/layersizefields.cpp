// SPDX-License-Identifier: MIT
#include "editor/ui/properties/layersizefields.h"

#include "editor/model/editormodel.h"
#include "editor/ui/sizetext.h"
#include "look/widgets/kiwanobutton.h"
#include "look/widgets/kiwanostyle.h"

#include <QHBoxLayout>
#include <QLineEdit>

LayerSizeFields::LayerSizeFields(EditorModel *model, const QRectF &bounds, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_width(Look::textField(5, 64, this))
    , m_height(Look::textField(5, 64, this))
    , m_lock(new KiwanoButton(QStringLiteral("lock"), QString(), this))
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    row->addWidget(m_width);
    row->addWidget(m_lock);
    row->addWidget(m_height);
    row->addStretch();
    m_width->setAccessibleName(tr("Width"));
    m_height->setAccessibleName(tr("Height"));

    connect(m_lock, &QAbstractButton::clicked, this, [this] { setLocked(!m_locked); });
    connect(m_width, &QLineEdit::textEdited, this, [this] { edited(true); });
    connect(m_height, &QLineEdit::textEdited, this, [this] { edited(false); });
    connect(m_width, &QLineEdit::returnPressed, this, &LayerSizeFields::commit);
    connect(m_height, &QLineEdit::returnPressed, this, &LayerSizeFields::commit);
    setLocked(true);
    m_bounds = QRectF(0, 0, -1, -1);
    setBounds(bounds);
}

void LayerSizeFields::setBounds(const QRectF &bounds)
{
    if (bounds == m_bounds)
        return;
    m_bounds = bounds;
    m_width->setText(SizeText::whole(bounds.width()));
    m_height->setText(SizeText::whole(bounds.height()));
}

qreal LayerSizeFields::aspect() const
{
    return m_bounds.width() / std::max<qreal>(m_bounds.height(), 1);
}

void LayerSizeFields::setLocked(bool locked)
{
    m_locked = locked;
    m_lock->setIconName(locked ? QStringLiteral("lock") : QStringLiteral("lock-open"));
    m_lock->setSelected(locked);
    m_lock->setToolTip(locked ? tr("Ratio locked") : tr("Ratio unlocked"));
}

void LayerSizeFields::edited(bool widthEdited)
{
    if (!m_locked)
        return;
    QLineEdit *typed = widthEdited ? m_width : m_height;
    QLineEdit *other = widthEdited ? m_height : m_width;
    if (const std::optional<double> value = SizeText::parse(typed->text()))
        other->setText(SizeText::lockedOther(*value, aspect(), widthEdited));
}

void LayerSizeFields::commit()
{
    const std::optional<double> w = SizeText::parse(m_width->text());
    const std::optional<double> h = SizeText::parse(m_height->text());
    if (w && h)
        m_model->setSelectedSize(QSizeF(*w, *h));
}
