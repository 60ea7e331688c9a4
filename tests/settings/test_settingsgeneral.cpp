// SPDX-License-Identifier: MIT
#include "settingsfixture.h"

#include "look/widgets/kiwanobutton.h"
#include "settings/generalsection.h"
#include "settings/autostart.h"
#include "settings/settingsparts.h"
#include "settings/updatesettings.h"

#include <QLabel>
#include <QTest>

class TestSettingsGeneral : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void loginToggleWritesAndRemovesTheAutostartFile();
    void autostartFileReadsAsOn_data();
    void autostartFileReadsAsOn();
    void autostartFollowsXdgConfigHome();
    void failedLoginChangeShowsWhyAndResets();
    void updatesAndQuit();

private:
    QString autostartFolder() const { return m_config + QStringLiteral("/autostart"); }
    GeneralSection *makeSection();

    std::unique_ptr<SettingsFixture> m_fixture;
    std::unique_ptr<UpdateSettings> m_updates;
    std::unique_ptr<GeneralSection> m_section;
    QString m_config;
};

void TestSettingsGeneral::init()
{
    m_fixture = std::make_unique<SettingsFixture>();
    m_config = m_fixture->root.filePath(QStringLiteral("config"));
    m_updates = std::make_unique<UpdateSettings>();
}

void TestSettingsGeneral::cleanup()
{
    m_section.reset();
    m_updates.reset();
    m_fixture.reset();
}

GeneralSection *TestSettingsGeneral::makeSection()
{
    m_section = std::make_unique<GeneralSection>(m_updates.get(), [this] { ++m_fixture->quits; });
    return m_section.get();
}

void TestSettingsGeneral::loginToggleWritesAndRemovesTheAutostartFile()
{
    const QString file = autostartFolder() + QStringLiteral("/kiwano-snapper.desktop");
    GeneralSection *section = makeSection();
    QVERIFY(!section->loginToggle()->isChecked());

    section->loginToggle()->click();
    QVERIFY(QFileInfo(file).isFile());
    QFile written(file);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(written.readAll());
    QVERIFY(text.startsWith(QStringLiteral("[Desktop Entry]\n")));
    QVERIFY(text.contains(QStringLiteral("\nType=Application\n")));
    QVERIFY(text.contains(QStringLiteral("\nExec=") + QCoreApplication::applicationFilePath() + u'\n'));
    QVERIFY(!section->loginError()->isVisibleTo(section));
    // A new view reads it back as on.
    QVERIFY(makeSection()->loginToggle()->isChecked());

    m_section->loginToggle()->click();
    QVERIFY(!QFileInfo::exists(file));
    QVERIFY(!m_section->loginToggle()->isChecked());
    QVERIFY(!makeSection()->loginToggle()->isChecked());
}

void TestSettingsGeneral::autostartFileReadsAsOn_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("on");

    const QByteArray head = "[Desktop Entry]\nType=Application\nExec=kiwano-snapper\n";
    QTest::newRow("plain") << head << true;
    QTest::newRow("hidden") << head + "Hidden=true\n" << false;
    QTest::newRow("hidden with spaces") << head + "Hidden = true\n" << false;
    QTest::newRow("not hidden") << head + "Hidden=false\n" << true;
    QTest::newRow("hidden in another group") << head + "[Desktop Action new]\nHidden=true\n" << true;
    QTest::newRow("empty file") << QByteArray() << true;
}

void TestSettingsGeneral::autostartFileReadsAsOn()
{
    QFETCH(QByteArray, content);
    QVERIFY(QDir().mkpath(autostartFolder()));
    QFile file(autostartFolder() + QStringLiteral("/kiwano-snapper.desktop"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    QTEST(Autostart::isEnabled(), "on");
    QTEST(makeSection()->loginToggle()->isChecked(), "on");
}

void TestSettingsGeneral::autostartFollowsXdgConfigHome()
{
    const QString elsewhere = m_fixture->root.filePath(QStringLiteral("elsewhere"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(elsewhere));
    QVERIFY(Autostart::setEnabled(true));
    QVERIFY(QFileInfo::exists(elsewhere + QStringLiteral("/autostart/kiwano-snapper.desktop")));
    QVERIFY(!QFileInfo::exists(autostartFolder()));

    // Unset, it is ~/.config.
    qunsetenv("XDG_CONFIG_HOME");
    QCOMPARE(Autostart::path(), QDir::homePath() + QStringLiteral("/.config/autostart/kiwano-snapper.desktop"));
    QVERIFY(!Autostart::isEnabled());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config));
}

void TestSettingsGeneral::failedLoginChangeShowsWhyAndResets()
{
    // A file where the autostart folder should be.
    QVERIFY(QDir().mkpath(m_config));
    QFile blocker(autostartFolder());
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    GeneralSection *section = makeSection();
    section->loginToggle()->click();
    QVERIFY(!section->loginToggle()->isChecked());
    QVERIFY(section->loginError()->isVisibleTo(section));
    const QString message = section->loginError()->text();
    QVERIFY2(message.startsWith(QStringLiteral("Couldn't change it: ")), qPrintable(message));
    QVERIFY(message.size() > QStringLiteral("Couldn't change it: ").size());

    // Once the way is clear, the next change succeeds and the message goes.
    QVERIFY(blocker.remove());
    section->loginToggle()->click();
    QVERIFY(section->loginToggle()->isChecked());
    QVERIFY(!section->loginError()->isVisibleTo(section));
    QVERIFY(Autostart::isEnabled());
}

void TestSettingsGeneral::updatesAndQuit()
{
    // Updates come with the package manager: no switch or button says otherwise, only the fact.
    makeSection();
    QVERIFY(!m_section->updatesToggle()->isVisibleTo(m_section.get()));
    QVERIFY(!m_section->checkNowButton()->isVisibleTo(m_section.get()));
    QCOMPARE(m_section->checkAnswer()->text(),
             QStringLiteral("Kiwano Snapper updates come with your package manager."));
    QVERIFY(m_section->checkAnswer()->isVisibleTo(m_section.get()));

    m_section->quitButton()->click();
    QCOMPARE(m_fixture->quits, 1);
}

KIWANO_TEST_MAIN(TestSettingsGeneral)
#include "test_settingsgeneral.moc"
