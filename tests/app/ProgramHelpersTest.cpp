// Program-wide helpers: the default error handler, the guard around event handlers and the
// date-time text.

#include "app/DateText.h"
#include "app/ErrorHandler.h"
#include "error/PlatformError.h"
#include "ui/MessageRecorder.h"

#include <QTest>

using namespace sonmetra;

class TestProgramHelpers : public QObject
{
    Q_OBJECT

private slots:
    void fullStopRule_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "Cannot open COM3"
                                << "Cannot open COM3.";
        QTest::newRow("digit") << "Error 5"
                               << "Error 5.";
        QTest::newRow("full stop") << "Port busy."
                                   << "Port busy.";
        QTest::newRow("hyphen sorts before") << "Failed -"
                                             << "Failed -";
        QTest::newRow("closing parenthesis sorts before") << "Failed (5)"
                                                          << "Failed (5)";
        QTest::newRow("slash sorts after") << "No such device or address /"
                                           << "No such device or address /.";
        QTest::newRow("empty") << ""
                               << "";
    }

    void fullStopRule()
    {
        QFETCH(QString, failure);
        QTEST(defaultErrorText(failure), "shown");
    }

    void guardShowsTheFailureAndStopsTheHandler()
    {
        ui::MessageRecorder recorder;
        bool reachedAfterFailure = false;
        auto slot = guarded([&] {
            throw PlatformError(QStringLiteral("Cannot open COM3 (/dev/ttyS2): Permission denied"));
            reachedAfterFailure = true;
        });
        slot();
        QVERIFY(!reachedAfterFailure);
        QCOMPARE(recorder.messages().size(), std::size_t(1));
        const ui::Message& m = recorder.messages().front();
        QCOMPARE(m.text, QStringLiteral("Cannot open COM3 (/dev/ttyS2): Permission denied."));
        QCOMPARE(m.title, QStringLiteral("Sonmetra_EN"));
        QCOMPARE(m.icon, ui::MessageIcon::Error);
        QCOMPARE(m.buttons, ui::MessageButtons::Ok);
    }

    void guardPassesQuietHandlers()
    {
        ui::MessageRecorder recorder;
        int runs = 0;
        guarded([&] { ++runs; })();
        QCOMPARE(runs, 1);
        QVERIFY(recorder.messages().empty());
    }

    void dateTimeText_data()
    {
        QTest::addColumn<QDateTime>("dateTime");
        QTest::addColumn<QString>("datePart");
        QTest::addColumn<bool>("withTime");
        QTest::newRow("midnight: date alone")
            << QDateTime(QDate(2024, 3, 7), QTime(0, 0)) << "2024-3-7" << false;
        QTest::newRow("no leading zeros")
            << QDateTime(QDate(2024, 3, 7), QTime(14, 5, 9)) << "2024-3-7" << true;
        QTest::newRow("two-digit month and day")
            << QDateTime(QDate(2026, 12, 11), QTime(9, 30)) << "2026-12-11" << true;
        QTest::newRow("one second past midnight")
            << QDateTime(QDate(2025, 1, 1), QTime(0, 0, 1)) << "2025-1-1" << true;
        QTest::newRow("one millisecond past midnight")
            << QDateTime(QDate(2025, 1, 1), QTime(0, 0, 0, 1)) << "2025-1-1" << true;
    }

    void dateTimeText()
    {
        QFETCH(QDateTime, dateTime);
        QFETCH(QString, datePart);
        QFETCH(bool, withTime);
        const QString text = sonmetra::dateTimeText(dateTime);
        if (!withTime) {
            QCOMPARE(text, datePart);
            return;
        }
        QVERIFY2(text.startsWith(datePart + QLatin1Char(' ')), qPrintable(text));
        const QString time = text.mid(datePart.size() + 1);
        QVERIFY2(time.contains(QString::number(dateTime.time().minute()).rightJustified(2, u'0')),
                 qPrintable(text));
        QVERIFY2(!time.contains(QStringLiteral("UTC")), qPrintable(text));
    }
};

QTEST_MAIN(TestProgramHelpers)
#include "ProgramHelpersTest.moc"
