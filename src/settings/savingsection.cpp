// SPDX-License-Identifier: MIT
#include "settings/savingsection.h"

#include "capture/appstate.h"
#include "capture/history.h"
#include "editor/model/savelocation.h"
#include "look/widgets/kiwanobutton.h"
#include "look/widgets/pixellabel.h"
#include "platform/reveal.h"
#include "settings/settingsparts.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

// A folder as people know it: its last path component.
QString displayName(const QString &folder)
{
    const QString name = QFileInfo(QDir::cleanPath(folder)).fileName();
    return name.isEmpty() ? QDir::toNativeSeparators(QDir::cleanPath(folder)) : name;
}

QLabel *rowTitle(const QString &text)
{
    auto *label = SettingsParts::text(text);
    label->setWordWrap(false);
    label->setFixedWidth(110);
    return label;
}

} // namespace

SavingSection::SavingSection(AppState *state, FolderChooser chooser, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
    , m_chooser(std::move(chooser))
    , m_saveFolder(new PixelLabel(QStringLiteral("folder"), QString()))
    , m_ask(new PixelToggle(tr("Ask where to save each time")))
    , m_askCaption(SettingsParts::caption(QString()))
    , m_historyFolder(new PixelLabel(QStringLiteral("folder"), QString()))
    , m_pictures(new KiwanoButton(QStringLiteral("images"), tr("Pictures")))
    , m_hidden(new KiwanoButton(QStringLiteral("eye-slash"), tr("Hidden (default)")))
    , m_error(new WarningBox)
{
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *column = SettingsParts::section(outer, QStringLiteral("arrow-down-to-bracket"),
                                          tr("Saving & History"));

    auto *saveRow = new QHBoxLayout;
    saveRow->addWidget(rowTitle(tr("Save to")));
    saveRow->addWidget(m_saveFolder, 1);
    auto *chooseSave = new KiwanoButton(QStringLiteral("folder"), tr("Choose..."));
    chooseSave->setAccessibleName(tr("Choose the save folder"));
    saveRow->addWidget(chooseSave);
    column->addLayout(saveRow);
    column->addWidget(m_ask);
    column->addWidget(m_askCaption);

    auto *historyRow = new QHBoxLayout;
    historyRow->addWidget(rowTitle(tr("Grab history")));
    historyRow->addWidget(m_historyFolder, 1);
    auto *show = new KiwanoButton(QStringLiteral("folder"), tr("Show in File Manager"));
    historyRow->addWidget(show);
    column->addLayout(historyRow);

    auto *moves = new QHBoxLayout;
    moves->setSpacing(10);
    m_pictures->setToolTip(QStringLiteral("~/Pictures/Kiwano Snapper"));
    m_hidden->setToolTip(QStringLiteral("~/.local/share/KiwanoSnapper/History"));
    auto *chooseHistory = new KiwanoButton(QStringLiteral("images"), tr("Choose..."));
    chooseHistory->setAccessibleName(tr("Choose the grab history folder"));
    moves->addWidget(m_pictures);
    moves->addWidget(m_hidden);
    moves->addWidget(chooseHistory);
    moves->addStretch();
    column->addLayout(moves);
    column->addWidget(SettingsParts::caption(
        tr("Your last %1 grabs are kept here as PNGs. Changing the folder moves them; "
                       "other files in it are never touched.")
            .arg(History::limit)));
    column->addWidget(m_error);

    connect(chooseSave, &QAbstractButton::clicked, this, [this] {
        if (const auto folder = m_chooser(window(), SaveLocation::folder(), tr("Save Here")))
            setSaveFolder(*folder);
    });
    connect(m_ask, &QAbstractButton::toggled, this, [this](bool ask) {
        SaveLocation::setAskEachTime(ask);
        refresh();
    });
    connect(show, &QAbstractButton::clicked, this, [] { Reveal::showFolder(History::dir()); });
    connect(m_pictures, &QAbstractButton::clicked, this, [this] { moveHistory(History::picturesDir()); });
    connect(m_hidden, &QAbstractButton::clicked, this, [this] { moveHistory(History::defaultDir()); });
    connect(chooseHistory, &QAbstractButton::clicked, this, [this] {
        if (const auto folder = m_chooser(window(), History::dir(), tr("Keep History Here")))
            moveHistory(*folder);
    });
    refresh();
}

void SavingSection::moveHistory(const QString &folder)
{
    QString error;
    // The folder the grabs are in already is no failure: the move leaves them where they are.
    const bool moved = m_state ? m_state->moveHistory(folder, &error)
                               : History::move(folder, &error).has_value();
    m_error->setText(moved ? QString() : tr("Couldn't move the grabs: %1").arg(error));
    refresh();
}

void SavingSection::setSaveFolder(const QString &folder)
{
    SaveLocation::setFolder(folder);
    refresh();
}

QString SavingSection::historyError() const
{
    return m_error->text();
}

void SavingSection::refresh()
{
    const QString save = SaveLocation::folder();
    m_saveFolder->setTitle(displayName(save));
    m_saveFolder->setToolTip(QDir::toNativeSeparators(save));
    const bool ask = SaveLocation::askEachTime();
    {
        const QSignalBlocker quiet(m_ask);
        m_ask->setChecked(ask);
    }
    m_askCaption->setText(
        ask ? tr("Ctrl+S opens a Save dialog in this folder, and remembers the last folder you pick.")
            : tr("Ctrl+S saves straight into this folder, no questions asked."));
    const QString history = History::dir();
    m_historyFolder->setTitle(displayName(history));
    m_historyFolder->setToolTip(QDir::toNativeSeparators(history));
    m_pictures->setEnabled(!History::isSameFolder(history, History::picturesDir()));
    m_hidden->setEnabled(!History::isSameFolder(history, History::defaultDir()));
}
