// SPDX-License-Identifier: MIT
#include "editor/ui/properties/pixelstepper.h"

#include "look/pixel.h"
#include "look/widgets/kiwanobutton.h"

#include <QHBoxLayout>
#include <QLabel>

#include <cmath>

namespace {
// Steps of 0.1 add up to 0.30000000000000004; a bound within this counts as reached.
constexpr double slack = 0.001;
} // namespace

PixelStepper::PixelStepper(const QString &title, double lower, double upper, double step,
                           Format format, QWidget *parent)
    : QWidget(parent)
    , m_lower(lower)
    , m_upper(upper)
    , m_step(step)
    , m_format(format)
    , m_minus(new KiwanoButton(QStringLiteral("minus"), QString(), this))
    , m_plus(new KiwanoButton(QStringLiteral("plus"), QString(), this))
    , m_shown(new QLabel(this))
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    m_minus->setAccessibleName(tr("Less %1").arg(title));
    m_plus->setAccessibleName(tr("More %1").arg(title));
    m_shown->setFont(Pixel::uiFont());
    m_shown->setFixedWidth(44);
    m_shown->setAlignment(Qt::AlignCenter);
    m_shown->setAccessibleName(title);
    row->addWidget(m_minus);
    row->addWidget(m_shown);
    row->addWidget(m_plus);
    row->addStretch();
    connect(m_minus, &QAbstractButton::clicked, this, [this] { stepBy(-1); });
    connect(m_plus, &QAbstractButton::clicked, this, [this] { stepBy(1); });
    setValue(lower);
}

void PixelStepper::setValue(double value)
{
    m_value = value;
    m_shown->setText(format(value, m_format));
    m_minus->setEnabled(!(value <= m_lower + slack));
    m_plus->setEnabled(!(value >= m_upper - slack));
}

QString PixelStepper::text() const
{
    return m_shown->text();
}

QString PixelStepper::format(double value, Format format)
{
    if (!std::isfinite(value))
        return QStringLiteral("–");
    switch (format) {
    case Format::offOrWhole:
        if (value == 0)
            return tr("Off");
        [[fallthrough]];
    case Format::whole:
        return QString::number(std::trunc(value), 'f', 0);
    case Format::percent:
        return tr("%1%").arg(QString::number(std::round(value * 100), 'f', 0));
    }
    return QString();
}

void PixelStepper::stepBy(int direction)
{
    const double next = direction < 0 ? std::max(m_value - m_step, m_lower)
                                      : std::min(m_value + m_step, m_upper);
    setValue(next);
    emit valueEdited(next);
}
