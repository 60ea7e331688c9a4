// SPDX-License-Identifier: MIT
#include "settings/ignoredapps.h"

#include "clipboard/clipboard.h"
#include "look/widgets/kiwanobutton.h"
#include "platform/appnames.h"
#include "platform/desktopentries.h"
#include "settings/appchooser.h"
#include "settings/settingsparts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

IgnoredApps::IgnoredApps(Clipboard &clipboard, Chooser chooser, QWidget *parent)
    : QWidget(parent)
    , m_clipboard(clipboard)
    , m_chooser(chooser ? std::move(chooser) : Chooser(&AppChooser::choose))
    , m_rows(new QVBoxLayout)
    , m_add(new KiwanoButton(QStringLiteral("plus"), tr("Add App...")))
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(6);
    column->addWidget(SettingsParts::text(tr("Never record copies from")));
    m_rows->setSpacing(4);
    m_rows->setContentsMargins(12, 0, 0, 0);
    column->addLayout(m_rows);
    auto *addRow = new QHBoxLayout;
    addRow->addWidget(m_add);
    addRow->addStretch();
    column->addLayout(addRow);
    connect(m_add, &QAbstractButton::clicked, this, [this] {
        if (const auto id = m_chooser(window()))
            add(*id);
    });
    rebuild();
}

void IgnoredApps::add(const QString &id)
{
    QStringList apps = m_clipboard.userIgnoredApps();
    if (id.isEmpty() || apps.contains(id))
        return;
    apps << id;
    m_clipboard.setUserIgnoredApps(apps);
    rebuild();
}

void IgnoredApps::remove(const QString &id)
{
    QStringList apps = m_clipboard.userIgnoredApps();
    if (apps.removeAll(id) == 0)
        return;
    m_clipboard.setUserIgnoredApps(apps);
    rebuild();
}

QStringList IgnoredApps::shownNames() const
{
    return m_shown;
}

void IgnoredApps::rebuild()
{
    while (QLayoutItem *item = m_rows->takeAt(0)) {
        if (QLayout *row = item->layout()) {
            while (QLayoutItem *inner = row->takeAt(0)) {
                delete inner->widget();
                delete inner;
            }
        }
        delete item->widget();
        delete item;
    }
    m_shown.clear();
    const auto installed = DesktopEntries::installed();

    for (const QString &id : m_clipboard.userIgnoredApps()) {
        const QString name = AppNames::name(id).value_or(id);
        m_shown << name;
        auto *row = new QHBoxLayout;
        row->setSpacing(8);
        auto *icon = new QLabel(this);
        const auto entry = installed->byId(id);
        const QIcon appIcon = entry ? AppChooser::icon(entry->icon) : QIcon();
        icon->setPixmap(appIcon.isNull() ? QPixmap() : appIcon.pixmap(QSize(20, 20)));
        icon->setFixedSize(20, 20);
        row->addWidget(icon);
        row->addWidget(SettingsParts::text(name, this), 1);
        auto *removeButton = new KiwanoButton(QStringLiteral("xmark"), QString(), this);
        removeButton->setIconSize(12);
        removeButton->setToolTip(tr("Remove %1").arg(name));
        connect(removeButton, &QAbstractButton::clicked, this, [this, id] { remove(id); });
        row->addWidget(removeButton);
        m_rows->addLayout(row);
    }
    emit rowsChanged();
}
