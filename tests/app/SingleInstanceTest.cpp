// One viewer per executable file name, with the real program started twice.

#include "app/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void keyIsTheUpperCasedFileName()
    {
        QCOMPARE(sonmetra::SingleInstance::keyForThisProcess(),
                 QStringLiteral("TEST_SINGLE_INSTANCE"));
    }

    void secondStartEndsSilentlyAndTheCopyRunsOnItsOwn()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        // Own copies, so that a viewer the developer has open does not take part.
        const QString viewer = dir.filePath(QStringLiteral("sonmetra-instance-test"));
        const QString copy = dir.filePath(QStringLiteral("sonmetra-instance-copy"));
        QVERIFY(QFile::copy(QStringLiteral(SONMETRA_EXECUTABLE), viewer));
        QVERIFY(QFile::copy(QStringLiteral(SONMETRA_EXECUTABLE), copy));

        // A lock left by a viewer that was killed would let the probe below take it first.
        QFile::remove(QDir::temp().filePath(QStringLiteral("SONMETRA-INSTANCE-TEST.lock")));

        QProcess first;
        first.setWorkingDirectory(dir.path());
        first.start(viewer, {});
        QVERIFY(first.waitForStarted());
        QVERIFY(waitForServer(QStringLiteral("SONMETRA-INSTANCE-TEST")));

        QProcess second;
        second.setWorkingDirectory(dir.path());
        second.start(viewer, {});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);

        QProcess other;
        other.setWorkingDirectory(dir.path());
        other.start(copy, {});
        QVERIFY(other.waitForStarted());
        QVERIFY(!other.waitForFinished(1500));
        QCOMPARE(other.state(), QProcess::Running);

        for (QProcess* p : {&first, &other}) {
            p->terminate();
            QVERIFY(p->waitForFinished(10000));
        }
    }

private:
    // Waits until the first viewer holds its lock and acknowledges a request to come forward.
    static bool waitForServer(const QString& key)
    {
        const QString lock = QDir::temp().filePath(key + QStringLiteral(".lock"));
        for (int i = 0; i < 200; ++i) {
            if (QFile::exists(lock)) {
                sonmetra::SingleInstance probe(key);
                if (!probe.isFirst() && probe.activateFirst(1000))
                    return true;
            }
            QTest::qWait(50);
        }
        return false;
    }
};

QTEST_MAIN(TestSingleInstance)
#include "SingleInstanceTest.moc"
