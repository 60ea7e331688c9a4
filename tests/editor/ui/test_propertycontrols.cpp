// SPDX-License-Identifier: MIT
#include "annotation/colortext.h"
#include "editor/ui/properties/colorpanelbridge.h"
#include "editor/ui/properties/hexfield.h"
#include "editor/ui/properties/stepformat.h"
#include "look/widgets/stepper.h"
#include "editor/ui/properties/swatches.h"
#include "look/kiwano.h"
#include "look/widgets/kiwanobutton.h"

#include <QColorDialog>
#include <QSignalSpy>
#include <QTest>

using Format = StepFormat::Format;
Q_DECLARE_METATYPE(Format)

class TestPropertyControls : public QObject
{
    Q_OBJECT

private slots:
    void stepperFormats_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<Format>("format");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole drops fraction") << 4.9 << Format::whole << "4";
        QTest::newRow("off") << 0.0 << Format::offOrWhole << "Off";
        QTest::newRow("off-or-whole 3.5") << 3.5 << Format::offOrWhole << "3";
        QTest::newRow("sum of steps") << 0.1 + 0.2 << Format::percent << "30%";
    }
    void stepperFormats()
    {
        QFETCH(double, value);
        QFETCH(Format, format);
        QFETCH(QString, text);
        const std::unique_ptr<Stepper> stepper(StepFormat::stepper("x", 0, 1000, 1, format));
        stepper->setValue(value);
        QCOMPARE(stepper->text(), text);
    }

    void stepperBoundsAllowForRounding_data()
    {
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");
        QTest::addColumn<double>("step");
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("minus");
        QTest::addColumn<bool>("plus");
        // Values a step's rounding leaves a hair inside the range count as at its end.
        QTest::newRow("within 0.001 of lower") << 0.1 << 1.0 << 0.05 << 0.1009 << false << true;
        QTest::newRow("within 0.001 of upper") << 0.1 << 0.9 << 0.1 << 0.8999 << true << false;
    }
    void stepperBoundsAllowForRounding()
    {
        QFETCH(double, lower);
        QFETCH(double, upper);
        QFETCH(double, step);
        QFETCH(double, value);
        QFETCH(bool, minus);
        QFETCH(bool, plus);
        const std::unique_ptr<Stepper> stepper(StepFormat::stepper("x", lower, upper, step, Format::whole));
        stepper->setValue(value);
        QCOMPARE(stepper->minusButton()->isEnabled(), minus);
        QCOMPARE(stepper->plusButton()->isEnabled(), plus);
    }

    void stepperStepsWithinRangeButNeverClampsTheShownValue()
    {
        const std::unique_ptr<Stepper> stepper(StepFormat::stepper("Size", 1, 12, 1, Format::whole));
        QSignalSpy edited(stepper.get(), &Stepper::valueEdited);
        stepper->setValue(30);
        QCOMPARE(stepper->text(), QStringLiteral("30"));
        QVERIFY(edited.isEmpty());
        QTest::mouseClick(stepper->minusButton(), Qt::LeftButton);
        QCOMPARE(edited.takeFirst().at(0).toDouble(), 29.0);

        const std::unique_ptr<Stepper> mark(StepFormat::stepper("Size", 0.1, 1, 0.05, Format::percent));
        QSignalSpy markEdited(mark.get(), &Stepper::valueEdited);
        mark->setValue(0.12);
        QTest::mouseClick(mark->minusButton(), Qt::LeftButton);
        QCOMPARE(markEdited.takeFirst().at(0).toDouble(), 0.1);
        mark->setValue(0.98);
        QTest::mouseClick(mark->plusButton(), Qt::LeftButton);
        QCOMPARE(markEdited.takeFirst().at(0).toDouble(), 1.0);
    }

    void swatchesOfferNoneOnlyWhenOptional()
    {
        Swatches optional(true, nullptr);
        Swatches plain(false, nullptr);
        QCOMPARE(optional.chips().size(), 8);
        QVERIFY(!optional.chips().first()->color());
        QCOMPARE(plain.chips().size(), 7);
        QVERIFY(plain.pickButton()->isHidden()); // no chooser to open
        QCOMPARE(hexString(*optional.chips().at(1)->color()), hexString(*plain.chips().first()->color()));
        optional.setColor(std::nullopt);
        QCOMPARE(optional.chosenChip(), optional.chips().first());
        QSignalSpy edited(&optional, &Swatches::colorEdited);
        QTest::mouseClick(optional.chips().first(), Qt::LeftButton);
        QCOMPARE(edited.count(), 1);
        QVERIFY(!edited.first().at(0).value<std::optional<QColor>>().has_value());
    }

    void customColourGetsTheLastChip()
    {
        Swatches swatches(false, nullptr);
        swatches.setColor(QColor(0x12, 0x34, 0x56));
        QCOMPARE(swatches.chips().size(), 8);
        QCOMPARE(hexString(*swatches.chips().last()->color()), QStringLiteral("#123456"));
        QCOMPARE(swatches.chosenChip(), swatches.chips().last());
        QCOMPARE(swatches.hexField()->text(), QStringLiteral("#123456"));
        // A palette colour made another way is still that chip.
        swatches.setColor(QColor::fromRgb(255, 255, 255));
        QCOMPARE(swatches.chips().size(), 7);
        QCOMPARE(swatches.chosenChip(), swatches.chips().at(6));
    }

    void hexFieldFollowsOnlyHexChanges()
    {
        HexField field;
        QSignalSpy edited(&field, &HexField::colorEdited);
        field.setColor(QColor(255, 0, 0));
        QCOMPARE(field.text(), QStringLiteral("#FF0000"));
        field.setText("#F8");
        field.setColor(QColor(255, 0, 0));
        QCOMPARE(field.text(), QStringLiteral("#F8")); // typing is not overwritten
        QTest::keyClick(&field, Qt::Key_Return);
        QCOMPARE(field.text(), QStringLiteral("#FF0000"));
        QVERIFY(edited.isEmpty());
        field.setText("#f80");
        QTest::keyClick(&field, Qt::Key_Return);
        QCOMPARE(edited.count(), 1);
        QCOMPARE(field.text(), QStringLiteral("#FF8800"));
    }

    void colorPanelReportsToTheLatestCaller()
    {
        ColorPanelBridge bridge;
        QList<QColor> first;
        QList<QColor> second;
        bridge.open(Qt::red, [&](const QColor &c) { first.append(c); });
        QColorDialog *dialog = bridge.dialog();
        QVERIFY(dialog && dialog->isVisible() && !dialog->isModal());
        QVERIFY(dialog->testOption(QColorDialog::ShowAlphaChannel));
        QVERIFY(first.isEmpty()); // the start colour is not a choice
        dialog->setCurrentColor(Qt::green);
        QCOMPARE(first, QList<QColor>{QColor(Qt::green)});

        bridge.open(Qt::blue, [&](const QColor &c) { second.append(c); });
        QCOMPARE(bridge.dialog(), dialog);
        dialog->setCurrentColor(QColor(1, 2, 3, 4));
        QCOMPARE(first.size(), 1);
        QVERIFY(!second.isEmpty());
        QCOMPARE(second.last(), QColor(1, 2, 3, 4));
        const qsizetype reported = second.size();
        dialog->close();
        dialog->setCurrentColor(Qt::yellow);
        QVERIFY(second.size() > reported);
        QCOMPARE(second.last(), QColor(Qt::yellow));
    }

    void swatchesOpenThePanelAtTheirColour()
    {
        ColorPanelBridge chooser;
        Swatches swatches(true, &chooser);
        swatches.setColor(std::nullopt);
        QSignalSpy edited(&swatches, &Swatches::colorEdited);
        QTest::mouseClick(swatches.pickButton(), Qt::LeftButton);
        QColorDialog *dialog = chooser.dialog();
        QCOMPARE(hexString(dialog->currentColor()), hexString(Kiwano::palette().first()));
        dialog->setCurrentColor(QColor(10, 20, 30));
        QCOMPARE(edited.count(), 1);
    }
};

KIWANO_TEST_MAIN(TestPropertyControls)
#include "test_propertycontrols.moc"
