// SPDX-License-Identifier: MIT
#include "editor/ui/properties/stepformat.h"

#include "look/widgets/stepper.h"

#include <QCoreApplication>

#include <cmath>

namespace StepFormat {

QString text(double value, Format format)
{
    if (!std::isfinite(value))
        return QStringLiteral("–");
    switch (format) {
    case Format::offOrWhole:
        if (value == 0)
            return QCoreApplication::translate("StepFormat", "Off");
        [[fallthrough]];
    case Format::whole:
        return QString::number(std::trunc(value), 'f', 0);
    case Format::percent:
        return QCoreApplication::translate("StepFormat", "%1%").arg(QString::number(std::round(value * 100), 'f', 0));
    }
    return QString();
}

Stepper *stepper(const QString &title, double lower, double upper, double step, Format format, QWidget *parent)
{
    return new Stepper(lower, upper, step, [format](double value) { return text(value, format); },
                       QCoreApplication::translate("StepFormat", "Less %1").arg(title),
                       QCoreApplication::translate("StepFormat", "More %1").arg(title), QStringLiteral("0000%"),
                       [title](double) { return title; }, parent);
}

} // namespace StepFormat
