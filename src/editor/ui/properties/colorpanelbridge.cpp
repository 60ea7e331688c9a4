// SPDX-License-Identifier: MIT
#include "editor/ui/properties/colorpanelbridge.h"

#include <QColorDialog>

ColorPanelBridge::~ColorPanelBridge()
{
    delete m_dialog;
}

void ColorPanelBridge::open(const QColor &color, std::function<void(const QColor &)> onChange)
{
    if (!m_dialog) {
        // Qt's own dialog: the desktop's native one does not report colours while it is open.
        m_dialog = new QColorDialog;
        m_dialog->setOptions(QColorDialog::ShowAlphaChannel | QColorDialog::DontUseNativeDialog |
                             QColorDialog::NoButtons);
        m_dialog->setWindowTitle(tr("Colors"));
        m_dialog->setAttribute(Qt::WA_ShowWithoutActivating);
        m_dialog->setModal(false);
        connect(m_dialog, &QColorDialog::currentColorChanged, this, &ColorPanelBridge::report);
    }
    // Setting the start colour must not reach the previous caller, nor echo back to the new one.
    m_onChange = nullptr;
    m_dialog->setCurrentColor(color);
    m_onChange = std::move(onChange);
    m_dialog->show();
    m_dialog->raise();
}

void ColorPanelBridge::report(const QColor &color)
{
    if (m_onChange)
        m_onChange(color);
}
