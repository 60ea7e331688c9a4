// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QWidget;
class Stepper;

// How the editor's numeric properties read, and their steppers.
namespace StepFormat {

enum class Format { whole, offOrWhole, percent };

// "12" (fraction dropped), "Off" for 0 with offOrWhole, "30%" for 0.3 with percent.
QString text(double value, Format format);
// A stepper for the property titled title: "Less Size" and "More Size" to a screen reader.
Stepper *stepper(const QString &title, double lower, double upper, double step, Format format,
                 QWidget *parent = nullptr);

} // namespace StepFormat
