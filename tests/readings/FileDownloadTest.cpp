// Downloading the instrument's stored files from the simulator, and picking one.

#include "app/MainWindow.h"
#include "gauge-sim/GaugeSimulator.h"
#include "link/CommRec.h"
#include "readings/DataSet.h"
#include "readings/FilePicker.h"
#include "readings/FileSlots.h"
#include "support/LinkFixture.h"
#include "support/Records.h"
#include "ui/MessageRecorder.h"
#include "ui/NumericFigure.h"
#include "ui/SwitchLight.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace sonmetra;

namespace {

constexpr int Timeout = 5005;

QVector<quint16> readings(int count, quint16 first)
{
    QVector<quint16> r;
    for (int i = 0; i < count; ++i)
        r << static_cast<quint16>(first + i);
    return r;
}

QStringList entries(const TfrmFiles& picker)
{
    QStringList list;
    for (int i = 0; i < picker.cbFiles->count(); ++i)
        list << picker.cbFiles->itemText(i);
    return list;
}

} // namespace

class TestFileDownload : public QObject
{
    Q_OBJECT

private slots:
    void init() { f = std::make_unique<test::LinkFixture>(); }
    void cleanup() { f.reset(); }

    void slotForAddress_data()
    {
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("slot");
        QTest::newRow("0") << 0 << 1;
        QTest::newRow("2") << 2 << 3;
        QTest::newRow("5") << 5 << 6;
        QTest::newRow("6") << 6 << 1;
        QTest::newRow("200") << 200 << 1;
        QTest::newRow("0xFF wraps to 0") << 0xFF << 1;
    }

    void slotForAddress()
    {
        QFETCH(int, address);
        QTEST(sonmetra::slotForAddress(static_cast<quint8>(address)), "slot");
    }

    void blocks_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QList<float>>("stored");
        QTest::newRow("three readings")
            << QByteArray("\xD2\x04\x00\x00\x10\x27", 6) << QList<float>{12.34f, 0.0f, 100.0f};
        QTest::newRow("odd last byte ignored")
            << QByteArray("\xD2\x04\x10\x27\x55", 5) << QList<float>{12.34f, 100.0f};
        QTest::newRow("one byte") << QByteArray("\x01", 1) << QList<float>{};
        QTest::newRow("empty") << QByteArray() << QList<float>{};
    }

    void blocks()
    {
        QFETCH(QByteArray, data);
        QFETCH(QList<float>, stored);
        TFileSlots files;
        storeFileBlock(files, 2, reinterpret_cast<const quint8*>(data.constData()),
                       static_cast<int>(data.size()));
        QCOMPARE(int(files[3].Count), stored.size());
        for (int k = 1; k <= stored.size(); ++k)
            QCOMPARE(files[3].Readings[k], stored[k - 1]);
        for (int slot : {1, 2, 4, 5, 6})
            QCOMPARE(files[slot].Count, 0);
    }

    void sixFilesInBlocks()
    {
        QVERIFY(f->connectInstrument());
        QVector<QVector<quint16>> files;
        for (int k = 0; k < 6; ++k)
            files << readings(100, static_cast<quint16>(1000 * (k + 1)));
        files[0] = readings(37, 1000);
        files[5] = readings(130, 6000);
        f->gauge->setFiles(files);
        f->window->btnReadFile->click();
        QVERIFY(f->window->btnReadFile->isLit());
        QCOMPARE(f->window->statusPanel(1),
                 QStringLiteral("  Downloading The measurement data file..."));
        for (ui::SwitchLight* b : {f->window->btnReadFile, f->window->btnSave, f->window->btnDb,
                                   f->window->btnLimit, f->window->btnWaitData})
            QVERIFY2(!b->isEnabled(), qPrintable(b->text()));
        QTRY_COMPARE(CommRec.Task, ctIdle);

        // 37 = 1 block, 100 = 62 + 38 four times, 130 = 62 + 62 + 6: 12 blocks, each answered.
        QCOMPARE(f->received(), QStringLiteral("HF") + QString(12, QLatin1Char('Y')));
        QCOMPARE(FileSlots[1].Count, 37);
        for (int slot = 2; slot <= 5; ++slot)
            QCOMPARE(FileSlots[slot].Count, 100);
        QCOMPARE(FileSlots[6].Count, 100);
        QCOMPARE(FileSlots[6].Readings[99], 60.98f);
        QCOMPARE(FileSlots[6].Readings[100], 61.29f); // reading 130 replaced 101 to 129
        QCOMPARE(FileSlots[2].Readings[63], 20.62f);  // first of the second block

        QCOMPARE(f->messages->messages().size(), std::size_t(1));
        const ui::Message& m = f->messages->messages().front();
        QCOMPARE(m.text, QStringLiteral("The measurement data file stored in the instrument is "
                                        "downloaded successfully"));
        QCOMPARE(m.title, QStringLiteral("File Download"));
        QCOMPARE(m.icon, ui::MessageIcon::Information);
        QVERIFY(!f->window->btnFiles->isHidden());
        QVERIFY(!f->window->btnReadFile->isLit());
        QVERIFY(f->window->statusPanel(1).isEmpty());
        for (ui::SwitchLight* b : {f->window->btnReadFile, f->window->btnSave, f->window->btnDb,
                                   f->window->btnLimit, f->window->btnWaitData})
            QVERIFY2(b->isEnabled(), qPrintable(b->text()));
        QCOMPARE(DataRec.Count, 0); // picking a file is the operator's step

        pickFile(1);
        QCOMPARE(DataRec.Count, 37);
        QCOMPARE(DataRec.Source, dsInstrument);
        QCOMPARE(DataRec.PageEnd, 10);
        QCOMPARE(f->window->lblMax->text(), QStringLiteral("10"));
        QCOMPARE(f->window->ledCounter->value(), 37.0);
        QCOMPARE(f->window->ledMax->value(), double(10.36f));
        QVERIFY(f->window->btnPrint->isEnabled());

        // A following START appends live readings from reading 38 on.
        f->window->btnWaitData->click();
        f->gauge->sendReading(999);
        QTRY_COMPARE(DataRec.Count, 38);
        QCOMPARE(DataRec.Readings[38], 9.99f);
    }

    void corruptedBlocksAreAskedForAgain()
    {
        QVERIFY(f->connectInstrument());
        f->gauge->setFiles({readings(100, 100)});
        f->gauge->corruptNext(1);
        f->window->btnReadFile->click();
        // The corrupted first block is answered by 'N' at once; the repeat and the second block
        // by 'Y'.
        QCOMPARE(f->awaitReceived("HFNYY"), QStringLiteral("HFNYY"));
        QTRY_COMPARE(CommRec.Task, ctIdle);
        QCOMPARE(FileSlots[1].Count, 100);
        QCOMPARE(FileSlots[1].Readings[1], 1.0f);
    }

    void thirdMissFailsSilentlyAndKeepsTheBlocks()
    {
        QVERIFY(f->connectInstrument());
        f->gauge->setFiles({readings(100, 100)});
        connect(f->gauge.get(), &sim::GaugeSimulator::commandReceived, this, [this](char c) {
            if (c == 'Y')
                f->gauge->setSilent(true);
        });
        f->window->btnReadFile->click();
        QCOMPARE(f->awaitReceived("HFY"), QStringLiteral("HFY"));
        for (int i = 0; i < 3; ++i)
            f->clock.advance(Timeout);
        QCOMPARE(f->awaitReceived("HFYNN"), QStringLiteral("HFYNN"));
        QCOMPARE(CommRec.Task, ctIdle);
        QVERIFY(f->messages->messages().empty());
        QCOMPARE(FileSlots[1].Count, 62);
        QVERIFY(f->window->btnFiles->isHidden());
        for (ui::SwitchLight* b : {f->window->btnReadFile, f->window->btnSave, f->window->btnDb,
                                   f->window->btnLimit, f->window->btnWaitData})
            QVERIFY2(b->isEnabled(), qPrintable(b->text()));
        QVERIFY(!f->window->btnReadFile->isLit());
    }

    void downloadOfNothing()
    {
        QVERIFY(f->connectInstrument());
        f->gauge->setFiles({});
        f->window->btnReadFile->click();
        QTRY_COMPARE(CommRec.Task, ctIdle);
        QCOMPARE(f->messages->messages().size(), std::size_t(1));
        QVERIFY(!f->window->btnFiles->isHidden());

        bool refused = false;
        test::whenModalOpens([&refused](QWidget& modal) {
            auto* picker = qobject_cast<TfrmFiles*>(&modal);
            QVERIFY(picker);
            QCOMPARE(entries(*picker),
                     (QStringList{"Please Select Files", "File0 - 0", "File1 - 0", "File2 - 0",
                                  "File3 - 0", "File4 - 0", "File5 - 0"}));
            for (int i = 0; i <= 6; ++i) {
                picker->cbFiles->setCurrentIndex(i);
                picker->btnOK->click();
                if (!picker->isVisible() || picker->cbFiles->currentIndex() != 0)
                    return;
            }
            refused = true;
            picker->btnCancel->click();
        });
        f->window->btnFiles->click();
        QVERIFY(refused);
        QCOMPARE(DataRec.Count, 0);
        QVERIFY(!f->window->btnPrint->isEnabled());
    }

    void pickerWorksWhileNotConnected()
    {
        FileSlots[3].Count = 2;
        FileSlots[3].Readings[1] = 4.5f;
        FileSlots[3].Readings[2] = 5.5f;
        f->window->enterSituation(Situation::DownloadFinished);
        test::whenModalOpens([](QWidget& modal) {
            auto* picker = qobject_cast<TfrmFiles*>(&modal);
            QVERIFY(picker);
            QCOMPARE(picker->windowTitle(), QStringLiteral("Display Data Files"));
            QCOMPARE(picker->label->text(), QStringLiteral("Select File\uFF1A"));
            QCOMPARE(picker->cbFiles->currentIndex(), 0);
            QCOMPARE(picker->cbFiles->itemText(3), QStringLiteral("File2 - 2"));
            QCOMPARE(picker->btnOK->text(), QStringLiteral("Ok"));
            picker->cbFiles->setCurrentIndex(3);
            picker->btnOK->click();
        });
        f->window->btnFiles->click();
        QCOMPARE(DataRec.Count, 2);
        QCOMPARE(DataRec.Readings[2], 5.5f);
        QCOMPARE(f->window->ledAverage->text(), QStringLiteral("5.00 mm"));
    }

    void cancelKeepsTheDataSet()
    {
        test::setReadings({9.0f});
        FileSlots[1].Count = 1;
        f->window->enterSituation(Situation::DownloadFinished);
        test::whenModalOpens([](QWidget& modal) {
            auto* picker = qobject_cast<TfrmFiles*>(&modal);
            QVERIFY(picker);
            picker->cbFiles->setCurrentIndex(1);
            picker->btnCancel->click();
        });
        f->window->btnFiles->click();
        QCOMPARE(DataRec.Count, 1);
        QCOMPARE(DataRec.Readings[1], 9.0f);
        QCOMPARE(DataRec.Source, dsNothing);
    }

private:
    void pickFile(int entry)
    {
        test::whenModalOpens([entry](QWidget& modal) {
            auto* picker = qobject_cast<TfrmFiles*>(&modal);
            QVERIFY(picker);
            picker->cbFiles->setCurrentIndex(entry);
            picker->btnOK->click();
        });
        f->window->btnFiles->click();
    }

    std::unique_ptr<test::LinkFixture> f;
};

QTEST_MAIN(TestFileDownload)
#include "FileDownloadTest.moc"
