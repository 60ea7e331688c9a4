// SPDX-License-Identifier: MIT
#include "editor/model/fixtures.h"
#include "editor/ui/resizepanel.h"
#include "editor/ui/sizetext.h"
#include "look/widgets/kiwanobutton.h"
#include "support/widgets.h"

#include <QLineEdit>
#include <QSignalSpy>

class TestResizePanel : public QObject
{
    Q_OBJECT

private slots:
    // Plain decimals only (no exponents, no "inf"), and a size from 1 to 16000 either way.
    void sizeTextTakesPlainDecimalsFromOneTo16000_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value"); // -1: not a number at all
        QTest::addColumn<bool>("valid");
        QTest::newRow("fraction kept") << "1.5" << 1.5 << true;
        QTest::newRow("leading point, below one") << ".5" << 0.5 << false;
        QTest::newRow("just too large") << "16000.5" << 16000.5 << false;
        QTest::newRow("space before") << " 300" << -1.0 << false;
        QTest::newRow("exponent") << "1e3" << -1.0 << false;
        QTest::newRow("infinity") << "inf" << -1.0 << false;
    }
    void sizeTextTakesPlainDecimalsFromOneTo16000()
    {
        QFETCH(QString, text); QFETCH(double, value); QFETCH(bool, valid);
        QCOMPARE(SizeText::parse(text), value < 0 ? std::nullopt : std::optional(value));
        QCOMPARE(SizeText::requestedSize(text, "10").has_value(), valid);
        QCOMPARE(SizeText::requestedSize("10", text).has_value(), valid);
    }

    void lockKeepsTheImageRatio_data()
    {
        QTest::addColumn<bool>("typeWidth"); QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("other");
        // The image layers' size fields share this rule; their test covers "never 0".
        QTest::newRow("height 1") << false << "1" << "2";
        QTest::newRow("width 3 rounds half away") << true << "3" << "2";
        QTest::newRow("unreadable leaves other") << true << "x3" << "500";
    }
    void lockKeepsTheImageRatio()
    {
        QFETCH(bool, typeWidth); QFETCH(QString, typed); QFETCH(QString, other);
        auto model = Fixtures::model(1000, 500);
        ResizePanel panel(model.get());
        Widgets::retype(typeWidth ? panel.widthField() : panel.heightField(), typed);
        QCOMPARE((typeWidth ? panel.heightField() : panel.widthField())->text(), other);
    }

    void applyNeedsAValidSize()
    {
        auto model = Fixtures::model(100, 50);
        ResizePanel panel(model.get());
        KiwanoButton *apply = Widgets::buttonTitled<KiwanoButton>(&panel, "Apply");
        QSignalSpy closed(&panel, &ResizePanel::closeRequested);
        Widgets::retype(panel.widthField(), "16000");
        QVERIFY(apply->isEnabled());
        Widgets::retype(panel.widthField(), "16001");
        QVERIFY(!apply->isEnabled());
        QTest::keyClick(panel.widthField(), Qt::Key_Return);
        QTest::mouseClick(apply, Qt::LeftButton);
        QCOMPARE(closed.count(), 0);
        QCOMPARE(model->imageSize(), QSizeF(100, 50));
    }
};

KIWANO_TEST_MAIN(TestResizePanel)
#include "test_resizepanel.moc"
