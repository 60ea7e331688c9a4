// SPDX-License-Identifier: MIT
#include "settings/clipboardsection.h"

#include "clipboard/clipboard.h"
#include "look/widgets/kiwanobutton.h"
#include "look/widgets/stepper.h"
#include "settings/session.h"
#include "settings/settingsparts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr int trustPollInterval = 1000;
} // namespace

ClipboardSection::ClipboardSection(Clipboard &clipboard, Services services, QWidget *parent)
    : QWidget(parent)
    , m_clipboard(clipboard)
    , m_services(std::move(services))
    , m_enabled(new PixelToggle(tr("Remember what I copy, including images")))
    , m_limit(new Stepper(50, 1000, 50, [](double limit) { return tr("%n items", nullptr, int(limit)); },
                          tr("Keep fewer"), tr("Keep more"), QStringLiteral("0000 items"),
                          [](double limit) { return tr("Keep %1").arg(tr("%n items", nullptr, int(limit))); }))
    , m_paste(new PixelToggle(tr("Return pastes into the app I was in (Alt+Return just copies)")))
    , m_trustWarning(new WarningBox)
    , m_blockedWarning(new WarningBox)
    , m_clearOnQuit(new PixelToggle(tr("Clear history when Kiwano Snapper quits (keeps pinned items)")))
    , m_ignored(new IgnoredApps(clipboard, m_services.chooseApp))
    , m_clear(new KiwanoButton(QStringLiteral("trash"), tr("Clear History")))
{
    if (!m_services.trusted)
        m_services.trusted = [&clipboard] { return clipboard.isTrusted(); };

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *column = SettingsParts::section(outer, QStringLiteral("clone"), tr("Clipboard History"));
    column->addWidget(m_enabled);
    auto *keep = new QHBoxLayout;
    keep->setSpacing(12);
    keep->addWidget(SettingsParts::text(tr("Keep")));
    keep->addWidget(m_limit);
    keep->addStretch();
    column->addLayout(keep);
    column->addWidget(m_paste);
    column->addWidget(m_trustWarning);
    column->addWidget(m_blockedWarning);
    column->addWidget(m_clearOnQuit);
    column->addWidget(SettingsParts::caption(tr(
        "Anything an app marks as private (most password managers do) isn't saved, and nothing is "
        "saved while a password manager app is in front. A password copied as plain text from a "
        "web page looks like any other text, so delete it with Alt+⌫ in the picker. History stays "
        "on this computer, in a private folder that isn't backed up. Turning history off doesn't "
        "erase it; Clear History does.")));
    column->addWidget(m_ignored);
    column->addWidget(SettingsParts::caption(tr(
        "Plus password managers (KeePassXC, 1Password, Bitwarden, Seahorse...) built in. For a "
        "one-off, use Ignore Next Copy or Pause in the 🥝 menu.")));
    auto *clearRow = new QHBoxLayout;
    clearRow->addWidget(m_clear);
    clearRow->addStretch();
    column->addLayout(clearRow);

    m_enabled->setChecked(m_clipboard.isEnabled());
    m_limit->setValue(m_clipboard.limit());
    m_paste->setChecked(m_clipboard.pasteAutomatically());
    m_clearOnQuit->setChecked(m_clipboard.clearOnQuit());
    if (m_services.sessionWarnings && Session::clipboardBlocked(m_services.environment))
        m_blockedWarning->setText(Session::clipboardBlockedWarning());
    readTrust();

    connect(m_enabled, &QAbstractButton::toggled, this, [this](bool enabled) {
        m_clipboard.setEnabled(enabled);
        // The monitor reads the setting only when it starts.
        if (enabled)
            m_clipboard.start();
        else
            m_clipboard.stop();
    });
    connect(m_limit, &Stepper::valueEdited, this, [this](double limit) {
        m_clipboard.setLimit(int(limit));
        m_clipboard.applyLimit();
    });
    connect(m_paste, &QAbstractButton::toggled, this, [this](bool paste) {
        m_clipboard.setPasteAutomatically(paste);
        // Asking for trust shows nothing on X11; the answer is read again.
        readTrust();
    });
    connect(m_clearOnQuit, &QAbstractButton::toggled, &m_clipboard, &Clipboard::setClearOnQuit);
    connect(m_clear, &QAbstractButton::clicked, this, [this] { m_clipboard.clear(false); });
    m_poll.setInterval(trustPollInterval);
    connect(&m_poll, &QTimer::timeout, this, &ClipboardSection::readTrust);
}

void ClipboardSection::showEvent(QShowEvent *event)
{
    readTrust();
    m_poll.start();
    QWidget::showEvent(event);
}

void ClipboardSection::hideEvent(QHideEvent *event)
{
    m_poll.stop();
    QWidget::hideEvent(event);
}

void ClipboardSection::readTrust()
{
    m_trusted = m_services.trusted();
    refreshTrustWarning();
}

void ClipboardSection::refreshTrustWarning()
{
    const bool warn = m_services.sessionWarnings && m_paste->isChecked() && !m_trusted;
    m_trustWarning->setText(
        warn ? tr("Pasting for you needs an X11 session. Until then, items are just copied.")
             : QString());
}
