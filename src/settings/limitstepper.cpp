// SPDX-License-Identifier: MIT
#include "settings/limitstepper.h"

#include "look/pixel.h"
#include "look/widgets/kiwanobutton.h"

#include <QHBoxLayout>
#include <QLabel>

LimitStepper::LimitStepper(int lower, int upper, int step, QWidget *parent)
    : QWidget(parent)
    , m_lower(lower)
    , m_upper(upper)
    , m_step(step)
    , m_minus(new KiwanoButton(QStringLiteral("minus"), QString(), this))
    , m_plus(new KiwanoButton(QStringLiteral("plus"), QString(), this))
    , m_shown(new QLabel(this))
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    m_minus->setAccessibleName(tr("Keep fewer"));
    m_plus->setAccessibleName(tr("Keep more"));
    m_shown->setFont(Pixel::uiFont());
    m_shown->setAlignment(Qt::AlignCenter);
    m_shown->setMinimumWidth(m_shown->fontMetrics().horizontalAdvance(QStringLiteral("0000 items")) + 8);
    row->addWidget(m_minus);
    row->addWidget(m_shown);
    row->addWidget(m_plus);
    row->addStretch();
    connect(m_minus, &QAbstractButton::clicked, this, [this] { stepBy(-1); });
    connect(m_plus, &QAbstractButton::clicked, this, [this] { stepBy(1); });
    setValue(lower);
}

void LimitStepper::setValue(int value)
{
    m_value = std::clamp(value, m_lower, m_upper);
    m_shown->setText(text());
    m_shown->setAccessibleName(tr("Keep %1").arg(text()));
    m_minus->setEnabled(m_value > m_lower);
    m_plus->setEnabled(m_value < m_upper);
}

QString LimitStepper::text() const
{
    return tr("%n items", nullptr, m_value);
}

void LimitStepper::stepBy(int direction)
{
    const int next = std::clamp(m_value + direction * m_step, m_lower, m_upper);
    if (next == m_value)
        return;
    setValue(next);
    emit valueEdited(next);
}
