// SPDX-License-Identifier: MIT
#include "settingsfixture.h"

#include "capture/appstate.h"
#include "capture/history.h"
#include "editor/model/savelocation.h"
#include "look/widgets/kiwanobutton.h"
#include "look/widgets/pixellabel.h"
#include "settings/savingsection.h"
#include "settings/settingsparts.h"

#include <QLabel>

class TestSettingsSaving : public QObject
{
    Q_OBJECT

private slots:
    // The choosers start at the folder in use and a cancel changes nothing. A history move that
    // fails says why until one works; the two history buttons move it and stand for where it is.
    void choosersAndButtonsMoveTheFolders()
    {
        SettingsFixture fixture;
        const auto scratch = [&fixture](const QString &name) { return fixture.root.filePath("scratch/" + name); };
        QImage image(40, 30, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::green);
        QVERIFY(History::add(image) && History::add(image));
        AppState state;
        QStringList asked;
        std::optional<QString> answer;
        SavingSection section(&state, [&](QWidget *, const QString &start, const QString &) { return asked.append(start), answer; });
        const auto button = [&section](const QString &accessibleName) -> KiwanoButton * {
            for (KiwanoButton *button : section.findChildren<KiwanoButton *>())
                if (button->accessibleName() == accessibleName)
                    return button;
            return nullptr;
        };
        const auto grabsIn = [](const QString &folder) { return QDir(folder).entryList({"grab-*.png"}, QDir::Files).size(); };

        const QString saveBefore = SaveLocation::folder(), historyBefore = History::dir();
        KiwanoButton *chooseSave = button("Choose the save folder"), *chooseHistory = button("Choose the grab history folder");
        QVERIFY(chooseSave && chooseHistory);
        chooseSave->click();
        chooseHistory->click();
        QCOMPARE(asked, (QStringList{saveBefore, historyBefore}));
        QCOMPARE(SaveLocation::folder(), saveBefore);
        QCOMPARE(History::dir(), historyBefore);

        answer = scratch("Saved Pictures");
        chooseSave->click();
        QCOMPARE(SaveLocation::folder(), *answer);
        QCOMPARE(section.saveFolderLabel()->title(), QStringLiteral("Saved Pictures"));

        answer = historyBefore + '/'; // where the grabs are: nothing to move, nothing to say
        chooseHistory->click();
        QCOMPARE(section.historyError(), QString());
        QVERIFY(TestFiles::write(scratch("blocker"), {}));
        answer = scratch("blocker/grabs");
        chooseHistory->click();
        QCOMPARE(grabsIn(historyBefore), 2);
        QVERIFY(!section.historyError().isEmpty());
        answer = scratch("Chosen");
        chooseHistory->click();
        QCOMPARE(grabsIn(*answer), 2);
        QCOMPARE(section.historyFolderLabel()->title(), QStringLiteral("Chosen"));
        QVERIFY(state.entries().first().url.toLocalFile().startsWith(*answer + '/'));
        QCOMPARE(section.historyError(), QString());

        QVERIFY(section.hiddenButton()->isEnabled() && section.picturesButton()->isEnabled());
        section.picturesButton()->click();
        QCOMPARE(grabsIn(History::picturesDir()), 2);
        QVERIFY(!section.picturesButton()->isEnabled());
        section.hiddenButton()->click();
        QCOMPARE(grabsIn(History::defaultDir()), 2);
        QVERIFY(!section.hiddenButton()->isEnabled() && section.picturesButton()->isEnabled());
    }
};

KIWANO_TEST_MAIN(TestSettingsSaving)
#include "test_settingssaving.moc"
