// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Where the program finds kiwano-capture, the tool that grabs the screen.
namespace CaptureTool {

// Beside the program, else in the private folder of an installed layout.
QString path();
// What the person is told when the tool is not there.
QString missingMessage();

} // namespace CaptureTool
