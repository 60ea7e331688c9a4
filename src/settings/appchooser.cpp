// SPDX-License-Identifier: MIT
#include "settings/appchooser.h"

#include "look/kiwano.h"
#include "look/widgets/kiwanobutton.h"
#include "look/widgets/kiwanostyle.h"
#include "settings/settingsparts.h"

#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

namespace {
constexpr int idRole = Qt::UserRole + 1;
} // namespace

AppChooser::AppChooser(const QList<DesktopEntry> &entries, QWidget *parent)
    : QDialog(parent)
    , m_search(Look::textField(4, 0, this))
    , m_list(new QListWidget(this))
    , m_ignore(new KiwanoButton(QString(), tr("Ignore"), this))
{
    setWindowTitle(tr("Never record copies from"));
    resize(380, 460);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(16, 16, 16, 16);
    column->setSpacing(10);
    column->addWidget(SettingsParts::text(tr("Choose an app whose copies are never recorded.")));
    m_search->setPlaceholderText(tr("Search"));
    m_search->setAccessibleName(tr("Search applications"));
    column->addWidget(m_search);
    m_list->setAccessibleName(tr("Applications"));
    m_list->setIconSize(QSize(24, 24));
    m_list->setUniformItemSizes(true);
    QList<DesktopEntry> sorted;
    for (const DesktopEntry &entry : entries) {
        if (!entry.noDisplay && !entry.name.isEmpty())
            sorted << entry;
    }
    std::sort(sorted.begin(), sorted.end(), [](const DesktopEntry &a, const DesktopEntry &b) {
        return QString::localeAwareCompare(a.name, b.name) < 0;
    });
    for (const DesktopEntry &entry : sorted) {
        auto *item = new QListWidgetItem(icon(entry.icon), entry.name, m_list);
        item->setData(idRole, entry.id);
        item->setToolTip(entry.id);
    }
    column->addWidget(m_list, 1);

    auto *buttons = new QHBoxLayout;
    auto *cancel = new KiwanoButton(QString(), tr("Cancel"), this);
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addWidget(m_ignore);
    column->addLayout(buttons);

    connect(m_search, &QLineEdit::textChanged, this, &AppChooser::filter);
    connect(m_list, &QListWidget::currentItemChanged, this,
            [this] { m_ignore->setEnabled(chosenId().has_value()); });
    connect(m_list, &QListWidget::itemActivated, this, &QDialog::accept);
    connect(m_ignore, &QAbstractButton::clicked, this, &QDialog::accept);
    connect(cancel, &QAbstractButton::clicked, this, &QDialog::reject);
    // Down in the search field walks into the list, so the keyboard alone can choose.
    m_search->installEventFilter(this);
    setFocusProxy(m_search);
    m_ignore->setEnabled(false);
}

std::optional<QString> AppChooser::chosenId() const
{
    const QListWidgetItem *item = m_list->currentItem();
    // filter() never leaves the current item on a hidden one.
    if (!item)
        return std::nullopt;
    return item->data(idRole).toString();
}

void AppChooser::filter(const QString &text)
{
    const QString wanted = text.trimmed();
    QListWidgetItem *first = nullptr;
    for (int row = 0; row < m_list->count(); ++row) {
        QListWidgetItem *item = m_list->item(row);
        const bool shown = wanted.isEmpty() || item->text().contains(wanted, Qt::CaseInsensitive)
                           || item->data(idRole).toString().contains(wanted, Qt::CaseInsensitive);
        item->setHidden(!shown);
        if (shown && !first)
            first = item;
    }
    if (QListWidgetItem *current = m_list->currentItem(); !current || current->isHidden())
        m_list->setCurrentItem(first);
    m_ignore->setEnabled(chosenId().has_value());
}

bool AppChooser::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_search && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Down && m_list->count() > 0) {
            m_list->setFocus(Qt::TabFocusReason);
            if (!m_list->currentItem() || m_list->currentItem()->isHidden())
                filter(m_search->text());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

std::optional<QString> AppChooser::choose(QWidget *parent)
{
    AppChooser chooser(DesktopEntries::installed()->entries(), parent);
    if (chooser.exec() != QDialog::Accepted)
        return std::nullopt;
    return chooser.chosenId();
}

QIcon AppChooser::icon(const QString &iconField)
{
    if (iconField.isEmpty())
        return QIcon();
    if (QDir::isAbsolutePath(iconField))
        return QIcon(iconField);
    return QIcon::fromTheme(iconField);
}
