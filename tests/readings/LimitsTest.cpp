// The over-bound test and the limits dialog.

#include "app/MainWindow.h"
#include "readings/DataSet.h"
#include "readings/LimitDialog.h"
#include "readings/LimitState.h"
#include "support/Records.h"
#include "ui/BarChart.h"
#include "ui/CheckLight.h"
#include "ui/MessageRecorder.h"
#include "ui/NumericEdit.h"
#include "ui/SevenSegment.h"
#include "ui/SwitchLight.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <limits>
#include <memory>

using namespace sonmetra;

namespace {

const QColor Red(0xFF, 0x00, 0x00);
const QColor Green(0x00, 0x80, 0x00);
const QColor Lime(0x00, 0xFF, 0x00);

// Runs `drive` on the limits dialog once it is open modally, then returns.
void whenLimitDialogOpens(std::function<void(TfrmLimit&)> drive)
{
    QTimer::singleShot(0, [drive = std::move(drive)] {
        auto* dialog = qobject_cast<TfrmLimit*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        drive(*dialog);
    });
}

} // namespace

class TestLimits : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        test::resetRecords();
        window = std::make_unique<TfrmMain>();
        recorder = std::make_unique<ui::MessageRecorder>();
    }

    void cleanup()
    {
        recorder.reset();
        window.reset();
    }

    void outOfBounds_data()
    {
        QTest::addColumn<bool>("on");
        QTest::addColumn<float>("upper");
        QTest::addColumn<float>("lower");
        QTest::addColumn<float>("value");
        QTest::addColumn<bool>("out");
        QTest::newRow("at upper") << true << 10.0f << 2.0f << 10.0f << false;
        QTest::newRow("at lower") << true << 10.0f << 2.0f << 2.0f << false;
        QTest::newRow("above upper") << true << 10.0f << 2.0f << 10.01f << true;
        QTest::newRow("below lower") << true << 10.0f << 2.0f << 1.99f << true;
        QTest::newRow("inside") << true << 10.0f << 2.0f << 5.0f << false;
        QTest::newRow("off") << false << 10.0f << 2.0f << 1.99f << false;
        QTest::newRow("start-up limits, top of range")
            << true << 3000.0f << 0.0f << 655.35f << false;
        QTest::newRow("start-up limits, zero") << true << 3000.0f << 0.0f << 0.0f << false;
        QTest::newRow("equal limits, equal value") << true << 12.5f << 12.5f << 12.5f << false;
        QTest::newRow("equal limits, just below") << true << 12.5f << 12.5f << 12.49f << true;
        // "Not at or above the lower limit" also catches a value that is not a number.
        QTest::newRow("not a number")
            << true << 10.0f << 2.0f << std::numeric_limits<float>::quiet_NaN() << true;
    }

    void outOfBounds()
    {
        QFETCH(bool, on);
        QFETCH(float, upper);
        QFETCH(float, lower);
        QFETCH(float, value);
        LimitOn = on ? 1 : 0;
        UpperLimit = upper;
        LowerLimit = lower;
        QTEST(OutOfBounds(value), "out");
    }

    void firstOpeningShowsStartUpLimitsDisabled()
    {
        TfrmLimit dialog(window.get());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Set Overbound Prompt"));
        QCOMPARE(dialog.size(), QSize(252, 157));
        QVERIFY(!dialog.chkLimit->isChecked());
        QVERIFY(!dialog.edtHi->isEnabled());
        QVERIFY(!dialog.edtLo->isEnabled());
        QCOMPARE(dialog.edtHi->text(), QStringLiteral("3000.00 mm"));
        QCOMPARE(dialog.edtLo->text(), QStringLiteral("0.00 mm"));
        QCOMPARE(dialog.chkLimit->text(), QStringLiteral("Set Prompt"));
        QCOMPARE(dialog.Label1->text(), QStringLiteral("Upper Limit:"));
        QCOMPARE(dialog.Label2->text(), QStringLiteral("Lower Limit:"));
        QCOMPARE(dialog.btnOK->text(), QStringLiteral("OK"));
        QCOMPARE(dialog.btnCancel->text(), QStringLiteral("Cancel"));
        QList<QWidget*> tabOrder;
        QWidget* w = dialog.chkLimit;
        do {
            if (w->focusPolicy() & Qt::TabFocus)
                tabOrder << w;
            w = w->nextInFocusChain();
        } while (w != dialog.chkLimit);
        const QList<QWidget*> expected{dialog.chkLimit, dialog.edtHi, dialog.edtLo, dialog.btnOK,
                                       dialog.btnCancel};
        QCOMPARE(tabOrder, expected);
    }

    void checkLightEnablesFields()
    {
        TfrmLimit dialog(window.get());
        dialog.chkLimit->click();
        QVERIFY(dialog.edtHi->isEnabled());
        QVERIFY(dialog.edtLo->isEnabled());
        dialog.chkLimit->click();
        QVERIFY(!dialog.edtHi->isEnabled());
    }

    void ok_data()
    {
        QTest::addColumn<bool>("on");
        QTest::addColumn<double>("upper");
        QTest::addColumn<double>("lower");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("on, equal limits") << true << 12.5 << 12.5 << true;
        QTest::newRow("on, upper below lower") << true << 5.0 << 8.0 << false;
        QTest::newRow("off, upper below lower") << false << 5.0 << 8.0 << true;
        QTest::newRow("on, ordered") << true << 10.0 << 2.0 << true;
    }

    void ok()
    {
        QFETCH(bool, on);
        QFETCH(double, upper);
        QFETCH(double, lower);
        QFETCH(bool, accepted);
        LimitOn = 0;
        UpperLimit = 3000;
        LowerLimit = 0;
        TfrmLimit dialog(window.get());
        dialog.chkLimit->setChecked(on);
        dialog.edtHi->setValue(upper);
        dialog.edtLo->setValue(lower);
        dialog.btnOKClick();
        if (accepted) {
            QVERIFY(recorder->messages().empty());
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QCOMPARE(LimitOn, on ? 1 : 0);
            QCOMPARE(UpperLimit, static_cast<float>(upper));
            QCOMPARE(LowerLimit, static_cast<float>(lower));
        } else {
            QCOMPARE(recorder->messages().size(), std::size_t(1));
            const ui::Message& m = recorder->messages().front();
            QCOMPARE(m.text, QString::fromLatin1(LimitOrderRefusal));
            QCOMPARE(m.title, QStringLiteral("ERROR"));
            QCOMPARE(m.icon, ui::MessageIcon::Error);
            QCOMPARE(LimitOn, 0);
            QCOMPARE(UpperLimit, 3000.0f);
            QCOMPARE(LowerLimit, 0.0f);
            QVERIFY(dialog.result() != QDialog::Accepted);
            QCOMPARE(dialog.edtHi->value(), upper);
            QCOMPARE(dialog.edtLo->value(), lower);
        }
    }

    void reopenedAfterOffShowsStoredValuesAndRefusesOn()
    {
        LimitOn = 0;
        UpperLimit = 5;
        LowerLimit = 8;
        TfrmLimit dialog(window.get());
        QCOMPARE(dialog.edtHi->text(), QStringLiteral("5.00 mm"));
        QCOMPARE(dialog.edtLo->text(), QStringLiteral("8.00 mm"));
        QVERIFY(!dialog.edtHi->isEnabled());
        dialog.chkLimit->setChecked(true);
        dialog.btnOKClick();
        QCOMPARE(recorder->messages().size(), std::size_t(1));
        QCOMPARE(LimitOn, 0);
    }

    void cancelStoresNothing()
    {
        window->InitMainState();
        TfrmLimit dialog(window.get());
        dialog.chkLimit->setChecked(true);
        dialog.edtHi->setValue(1);
        dialog.btnCancelClick();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(LimitOn, 0);
        QCOMPARE(UpperLimit, 3000.0f);
    }

    void limitCommandRecoloursAndLights()
    {
        test::setReadings({5.0f, 12.5f, 13.0f});
        window->RedrawAll();
        whenLimitDialogOpens([](TfrmLimit& d) {
            d.chkLimit->setChecked(true);
            d.edtHi->setValue(12.5);
            d.edtLo->setValue(12.5);
            d.btnOK->click();
        });
        window->btnLimit->click();
        QVERIFY(window->btnLimit->isLit());
        QCOMPARE(window->Chart1->barColor(0), Red);
        QCOMPARE(window->Chart1->barColor(1), Green);
        QCOMPARE(window->Chart1->barColor(2), Red);
        QCOMPARE(window->SegDisplays[7]->segmentColor(), Red);  // reading 1
        QCOMPARE(window->SegDisplays[8]->segmentColor(), Lime); // reading 2
        QCOMPARE(window->SegDisplays[9]->segmentColor(), Red);  // reading 3

        whenLimitDialogOpens([](TfrmLimit& d) {
            d.chkLimit->setChecked(false);
            d.btnOK->click();
        });
        window->btnLimit->click();
        QVERIFY(!window->btnLimit->isLit());
        for (int i = 0; i < 3; ++i)
            QCOMPARE(window->Chart1->barColor(i), Green);
        for (int i = 7; i < 10; ++i)
            QCOMPARE(window->SegDisplays[static_cast<std::size_t>(i)]->segmentColor(), Lime);
    }

    void limitCommandOnEmptySetOnlyChangesTheLight()
    {
        whenLimitDialogOpens([](TfrmLimit& d) {
            d.chkLimit->setChecked(true);
            d.edtHi->setValue(1);
            d.edtLo->setValue(0.5);
            d.btnOK->click();
        });
        window->btnLimit->click();
        QVERIFY(window->btnLimit->isLit());
        QCOMPARE(window->Chart1->barCount(), 0);
        QVERIFY(window->lblMax->text().isEmpty());
    }

    void cancelledLimitCommandKeepsColours()
    {
        LimitOn = 1;
        UpperLimit = 4;
        LowerLimit = 2;
        test::setReadings({1.0f, 3.0f});
        window->RedrawAll();
        whenLimitDialogOpens([](TfrmLimit& d) {
            d.chkLimit->setChecked(false);
            d.btnCancel->click();
        });
        window->btnLimit->click();
        QVERIFY(window->btnLimit->isLit());
        QCOMPARE(window->Chart1->barColor(0), Red);
        QCOMPARE(window->Chart1->barColor(1), Green);
    }

private:
    std::unique_ptr<TfrmMain> window;
    std::unique_ptr<ui::MessageRecorder> recorder;
};

QTEST_MAIN(TestLimits)
#include "LimitsTest.moc"
