// SPDX-License-Identifier: MIT
#include "look/widgets/stepper.h"

#include "look/pixel.h"
#include "look/widgets/kiwanobutton.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>

#include <algorithm>

namespace {
// Steps of 0.1 add up to 0.30000000000000004; a bound within this counts as reached.
constexpr double slack = 0.001;
} // namespace

Stepper::Stepper(double lower, double upper, double step, Text shown, const QString &less, const QString &more,
                 const QString &widest, Text spoken, QWidget *parent)
    : QWidget(parent)
    , m_lower(lower)
    , m_upper(upper)
    , m_step(step)
    , m_shownText(std::move(shown))
    , m_spokenText(std::move(spoken))
    , m_minus(new KiwanoButton(QStringLiteral("minus"), QString(), this))
    , m_plus(new KiwanoButton(QStringLiteral("plus"), QString(), this))
    , m_shown(new QLabel(this))
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    m_minus->setAccessibleName(less);
    m_plus->setAccessibleName(more);
    m_shown->setFont(Pixel::uiFont());
    m_shown->setAlignment(Qt::AlignCenter);
    m_shown->setFixedWidth(QFontMetrics(m_shown->font()).horizontalAdvance(widest) + 8);
    row->addWidget(m_minus);
    row->addWidget(m_shown);
    row->addWidget(m_plus);
    row->addStretch();
    connect(m_minus, &QAbstractButton::clicked, this, [this] { stepBy(-1); });
    connect(m_plus, &QAbstractButton::clicked, this, [this] { stepBy(1); });
    setValue(lower);
}

void Stepper::setValue(double value)
{
    m_value = value;
    m_shown->setText(m_shownText ? m_shownText(value) : QString::number(value));
    m_shown->setAccessibleName(m_spokenText ? m_spokenText(value) : m_shown->text());
    m_minus->setEnabled(!(value <= m_lower + slack));
    m_plus->setEnabled(!(value >= m_upper - slack));
}

QString Stepper::text() const
{
    return m_shown->text();
}

void Stepper::stepBy(int direction)
{
    const double next = direction < 0 ? std::max(m_value - m_step, m_lower) : std::min(m_value + m_step, m_upper);
    setValue(next);
    emit valueEdited(next);
}
