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

// The default grab folder is fixed on first use, so one home serves every test here.
class TestSettingsSaving : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_fixture = std::make_unique<SettingsFixture>(); }
    void init()
    {
        for (const char *key : {"history.folder", "save.folder", "save.ask"})
            SettingsFixture::preferences().remove(key);
        QDir(History::defaultDir()).removeRecursively();
        QDir(scratch(QString())).removeRecursively();
        QDir().mkpath(scratch(QString()));
        QImage image(40, 30, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::green);
        QVERIFY(History::add(image) && History::add(image));
        m_state = std::make_unique<AppState>();
        m_asked.clear(), m_answer.reset();
        m_section = std::make_unique<SavingSection>(m_state.get(), [this](QWidget *, const QString &start, const QString &confirm) {
            m_asked.append({start, confirm});
            return m_answer;
        });
    }
    void cleanup() { m_section.reset(), m_state.reset(); }
    void moveHistoryReportsTheOutcome_data()
    {
        QTest::addColumn<QString>("target");     // under scratch; "@" is the grab folder itself
        QTest::addColumn<bool>("moves"); QTest::addColumn<bool>("reported");

        QTest::newRow("a new folder") << "kept/grabs" << true << false;
        QTest::newRow("a folder under a file") << "blocker/grabs" << false << true;
        QTest::newRow("the grab folder itself") << "@" << false << false;
    }
    void moveHistoryReportsTheOutcome()
    {
        QFETCH(QString, target); QFETCH(bool, moves); QFETCH(bool, reported);
        QVERIFY(SettingsFixture::write(scratch(QStringLiteral("blocker")), {}));

        const QString before = History::dir();
        const QStringList grabs = grabNames(before);
        QCOMPARE(grabs.size(), 2);
        const QString folder = target == QLatin1String("@") ? before + QStringLiteral("/") : scratch(target);
        m_section->moveHistory(folder);

        const QString now = moves ? folder : before;
        QVERIFY(History::isSameFolder(History::dir(), now));
        QCOMPARE(grabNames(now), grabs);
        QCOMPARE(m_section->historyFolderLabel()->title(), QFileInfo(now).fileName());
        QCOMPARE(m_state->entries().size(), 2);
        QVERIFY(m_state->entries().first().url.toLocalFile().startsWith(QDir::cleanPath(now) + u'/'));
        if (reported) {
            QVERIFY(!m_section->historyError().isEmpty());
            // A move that then succeeds takes the message away.
            m_section->moveHistory(scratch(QStringLiteral("fine")));
            QCOMPARE(grabNames(scratch(QStringLiteral("fine"))), grabs);
        }
        QCOMPARE(m_section->historyError(), QString());
    }
    // The choosers start at the folder in use and a cancel changes nothing; the two history
    // buttons move it and stand for where it is.
    void choosersAndButtonsMoveTheFolders()
    {
        const QString saveBefore = SaveLocation::folder();
        const QString historyBefore = History::dir();
        KiwanoButton *chooseSave = button(QStringLiteral("Choose the save folder"));
        KiwanoButton *chooseHistory = button(QStringLiteral("Choose the grab history folder"));
        QVERIFY(chooseSave && chooseHistory);
        chooseSave->click();
        chooseHistory->click();
        QCOMPARE(m_asked.size(), 2);
        QCOMPARE(m_asked.at(0).first, saveBefore);
        QCOMPARE(m_asked.at(1).first, historyBefore);
        QCOMPARE(SaveLocation::folder(), saveBefore);
        QCOMPARE(History::dir(), historyBefore);
        QCOMPARE(m_section->historyError(), QString());

        m_answer = scratch(QStringLiteral("Saved Pictures"));
        chooseSave->click();
        QCOMPARE(SaveLocation::folder(), *m_answer);
        QCOMPARE(m_section->saveFolderLabel()->title(), QStringLiteral("Saved Pictures"));
        m_answer = scratch(QStringLiteral("Chosen"));
        chooseHistory->click();
        QVERIFY(History::isSameFolder(History::dir(), *m_answer));
        QCOMPARE(grabNames(*m_answer).size(), 2);

        QVERIFY(m_section->hiddenButton()->isEnabled() && m_section->picturesButton()->isEnabled());
        m_section->picturesButton()->click();
        QVERIFY(History::isSameFolder(History::dir(), History::picturesDir()));
        QCOMPARE(grabNames(History::picturesDir()).size(), 2);
        QVERIFY(!m_section->picturesButton()->isEnabled());
        m_section->hiddenButton()->click();
        QVERIFY(History::isSameFolder(History::dir(), History::defaultDir()));
        QCOMPARE(grabNames(History::defaultDir()).size(), 2);
        QVERIFY(!m_section->hiddenButton()->isEnabled() && m_section->picturesButton()->isEnabled());
        QDir(History::picturesDir()).removeRecursively();
    }

private:
    QString scratch(const QString &name) const { return m_fixture->root.filePath(QStringLiteral("scratch/") + name); }
    QStringList grabNames(const QString &folder) const
    {
        return QDir(folder).entryList({QStringLiteral("grab-*.png")}, QDir::Files, QDir::Name);
    }
    KiwanoButton *button(const QString &accessibleName) const
    {
        for (KiwanoButton *button : m_section->findChildren<KiwanoButton *>()) {
            if (button->accessibleName() == accessibleName)
                return button;
        }
        return nullptr;
    }

    std::unique_ptr<SettingsFixture> m_fixture;
    std::unique_ptr<AppState> m_state;
    std::unique_ptr<SavingSection> m_section;
    QList<QPair<QString, QString>> m_asked;  // start, confirm
    std::optional<QString> m_answer;
};

KIWANO_TEST_MAIN(TestSettingsSaving)
#include "test_settingssaving.moc"
