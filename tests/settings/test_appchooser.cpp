// SPDX-License-Identifier: MIT
#include "look/widgets/kiwanobutton.h"
#include "settings/appchooser.h"

#include "support/widgets.h"

#include <QLineEdit>
#include <QListWidget>

namespace {

DesktopEntry entry(const QString &id, const QString &name, bool noDisplay = false)
{
    DesktopEntry entry;
    entry.id = id, entry.name = name, entry.noDisplay = noDisplay;
    return entry;
}

QStringList shown(const QListWidget *list)
{
    QStringList names;
    for (int row = 0; row < list->count(); ++row) {
        if (!list->item(row)->isHidden())
            names << list->item(row)->text();
    }
    return names;
}

} // namespace

class TestAppChooser : public QObject
{
    Q_OBJECT

private slots:
    void searchFiltersByNameOrId_data()
    {
        QTest::addColumn<QString>("search"); QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("chosen");   // the id chosen without touching the list; empty: none

        QTest::newRow("everything, by name, hidden entries left out")
            << "" << QStringList{"Bitwarden", "KeePassXC", "Terminal"} << "";
        QTest::newRow("part of a name, any case") << "keep" << QStringList{"KeePassXC"} << "org.keepassxc.KeePassXC";
        QTest::newRow("part of an id") << "gnome" << QStringList{"Terminal"} << "org.gnome.Terminal";
        QTest::newRow("nothing matches") << "zzz" << QStringList{} << "";
        QTest::newRow("spaces around are ignored") << "  bit " << QStringList{"Bitwarden"} << "bitwarden";
    }
    void searchFiltersByNameOrId()
    {
        QFETCH(QString, search); QFETCH(QStringList, names); QFETCH(QString, chosen);
        AppChooser chooser({entry("org.gnome.Terminal", "Terminal"), entry("org.keepassxc.KeePassXC", "KeePassXC"),
                            entry("hidden.helper", "Helper", true), entry("bitwarden", "Bitwarden"),
                            entry("nameless", "")});
        chooser.searchField()->setText(search);
        QCOMPARE(shown(chooser.list()), names);
        if (!search.isEmpty())
            QCOMPARE(chooser.chosenId().value_or(QString()), chosen);
    }
    void ignoreNeedsAChoice()
    {
        AppChooser chooser({entry("org.gnome.Terminal", "Terminal"), entry("bitwarden", "Bitwarden")});
        KiwanoButton *ignore = Widgets::buttonTitled<KiwanoButton>(&chooser, QStringLiteral("Ignore"));
        QVERIFY(ignore && !ignore->isEnabled());
        QCOMPARE(chooser.chosenId(), std::nullopt);

        chooser.list()->setCurrentRow(1);
        QVERIFY(ignore->isEnabled());
        QCOMPARE(chooser.chosenId(), std::optional<QString>(QStringLiteral("org.gnome.Terminal")));

        // Filtering the choice away leaves the first match chosen, or nothing.
        chooser.searchField()->setText(QStringLiteral("bit"));
        QCOMPARE(chooser.chosenId(), std::optional<QString>(QStringLiteral("bitwarden")));
        chooser.searchField()->setText(QStringLiteral("none"));
        QCOMPARE(chooser.chosenId(), std::nullopt);
        QVERIFY(!ignore->isEnabled());

        chooser.searchField()->clear();
        chooser.list()->setCurrentRow(0);
        ignore->click();
        QCOMPARE(chooser.result(), int(QDialog::Accepted));
    }
};

KIWANO_TEST_MAIN(TestAppChooser)
#include "test_appchooser.moc"
