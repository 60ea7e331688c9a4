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

using Format = StepFormat::Format;

class TestPropertyControls : public QObject
{
    Q_OBJECT

private slots:
    void stepperStepsWithinRangeButNeverClampsTheShownValue()
    {
        const std::unique_ptr<Stepper> stepper(StepFormat::stepper("Size", 1, 12, 1, Format::whole));
        QSignalSpy edited(stepper.get(), &Stepper::valueEdited);
        stepper->setValue(30);
        QCOMPARE(stepper->text(), QStringLiteral("30"));
        QVERIFY(edited.isEmpty());
        QTest::mouseClick(stepper->minusButton(), Qt::LeftButton);
        QCOMPARE(edited.takeFirst().at(0).toDouble(), 29.0);
        // A sum of steps shows rounded.
        const std::unique_ptr<Stepper> percent(StepFormat::stepper("x", 0, 1, 0.1, Format::percent));
        percent->setValue(0.1 + 0.2);
        QCOMPARE(percent->text(), QStringLiteral("30%"));

        const std::unique_ptr<Stepper> mark(StepFormat::stepper("Size", 0.1, 1, 0.05, Format::percent));
        QSignalSpy markEdited(mark.get(), &Stepper::valueEdited);
        mark->setValue(0.12);
        QTest::mouseClick(mark->minusButton(), Qt::LeftButton);
        QCOMPARE(markEdited.takeFirst().at(0).toDouble(), 0.1);
        mark->setValue(0.98);
        QTest::mouseClick(mark->plusButton(), Qt::LeftButton);
        QCOMPARE(markEdited.takeFirst().at(0).toDouble(), 1.0);

        // Values a step's rounding leaves a hair inside the range count as at its end.
        mark->setValue(0.1009);
        QVERIFY(!mark->minusButton()->isEnabled() && mark->plusButton()->isEnabled());
        mark->setValue(0.9999);
        QVERIFY(mark->minusButton()->isEnabled() && !mark->plusButton()->isEnabled());
    }

    void swatchesOfferNoneOnlyWhenOptionalAndCustomColoursLast()
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

        // A colour off the palette gets a chip of its own, last; a palette colour made another
        // way is still its chip.
        plain.setColor(QColor(0x12, 0x34, 0x56));
        QCOMPARE(plain.chips().size(), 8);
        QCOMPARE(hexString(*plain.chips().last()->color()), QStringLiteral("#123456"));
        QCOMPARE(plain.chosenChip(), plain.chips().last());
        QCOMPARE(plain.hexField()->text(), QStringLiteral("#123456"));
        plain.setColor(QColor::fromRgb(255, 255, 255));
        QCOMPARE(plain.chips().size(), 7);
        QCOMPARE(plain.chosenChip(), plain.chips().at(6));
    }

    void colorPanelReportsToTheLatestCaller()
    {
        ColorPanelBridge bridge;
        QList<QColor> first;
        QList<QColor> second;
        bridge.open(Qt::red, [&](const QColor &c) { first.append(c); });
        QColorDialog *dialog = bridge.dialog();
        QVERIFY(dialog && dialog->isVisible() && !dialog->isModal() && dialog->testOption(QColorDialog::ShowAlphaChannel));
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

        // Swatches open it at their colour, "none" at the palette's first, and hear its choice.
        Swatches swatches(true, &bridge);
        swatches.setColor(std::nullopt);
        QSignalSpy edited(&swatches, &Swatches::colorEdited);
        QTest::mouseClick(swatches.pickButton(), Qt::LeftButton);
        QCOMPARE(hexString(dialog->currentColor()), hexString(Kiwano::palette().first()));
        dialog->setCurrentColor(QColor(10, 20, 30));
        QCOMPARE(edited.count(), 1);
    }

};

KIWANO_TEST_MAIN(TestPropertyControls)
#include "test_propertycontrols.moc"
