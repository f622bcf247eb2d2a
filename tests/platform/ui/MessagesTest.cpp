#include "ui/MessageRecorder.h"
#include "ui/MessageService.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace sonmetra::ui;

Q_DECLARE_METATYPE(MessageIcon)
Q_DECLARE_METATYPE(MessageButtons)
Q_DECLARE_METATYPE(MessageAnswer)

namespace {

const QString clearQuestion =
    QStringLiteral("You will delete the measure data currently displayed! \r\n\r\nAre you sure?");

} // namespace

class MessagesTest : public QObject
{
    Q_OBJECT

private slots:
    void recorderKeepsEveryMessageAsGiven();
    void recorderAnswersFromItsQueue_data();
    void recorderAnswersFromItsQueue();
    void recorderRestoresThePreviousAnswerer();
    void realBoxShowsTheMessage_data();
    void realBoxShowsTheMessage();
};

void MessagesTest::recorderKeepsEveryMessageAsGiven()
{
    MessageRecorder recorder;
    showMessage(clearQuestion, QStringLiteral("Data Delete"), MessageIcon::Question,
                MessageButtons::YesNo);
    showMessage(QStringLiteral("The Upper limit can/t be smaller than the lower one. Please input "
                               "again."),
                QStringLiteral("ERROR"), MessageIcon::Error);

    const std::vector<Message> expected{
        {clearQuestion, QStringLiteral("Data Delete"), MessageIcon::Question,
         MessageButtons::YesNo},
        {QStringLiteral("The Upper limit can/t be smaller than the lower one. Please input again."),
         QStringLiteral("ERROR"), MessageIcon::Error, MessageButtons::Ok},
    };
    QVERIFY(recorder.messages() == expected);
}

void MessagesTest::recorderAnswersFromItsQueue_data()
{
    QTest::addColumn<MessageAnswer>("defaultAnswer");
    QTest::addColumn<QList<MessageAnswer>>("queued");
    QTest::addColumn<QList<MessageButtons>>("boxes");
    QTest::addColumn<QList<MessageAnswer>>("answers");

    using A = MessageAnswer;
    using B = MessageButtons;
    QTest::newRow("default Ok") << A::Ok << QList<A>{} << QList<B>{B::Ok, B::Ok}
                                << QList<A>{A::Ok, A::Ok};
    QTest::newRow("default Ok presses Yes on a question")
        << A::Ok << QList<A>{} << QList<B>{B::YesNo} << QList<A>{A::Yes};
    QTest::newRow("default No") << A::No << QList<A>{} << QList<B>{B::YesNo, B::YesNo}
                                << QList<A>{A::No, A::No};
    QTest::newRow("queue first, then default") << A::Yes << QList<A>{A::No, A::Yes, A::No}
                                               << QList<B>{B::YesNo, B::YesNo, B::YesNo, B::YesNo}
                                               << QList<A>{A::No, A::Yes, A::No, A::Yes};
    QTest::newRow("OK box takes its turn but answers Ok")
        << A::Yes << QList<A>{A::No, A::No} << QList<B>{B::Ok, B::YesNo, B::YesNo}
        << QList<A>{A::Ok, A::No, A::Yes};
}

void MessagesTest::recorderAnswersFromItsQueue()
{
    QFETCH(MessageAnswer, defaultAnswer);
    QFETCH(QList<MessageAnswer>, queued);
    QFETCH(QList<MessageButtons>, boxes);
    QFETCH(QList<MessageAnswer>, answers);

    MessageRecorder recorder(defaultAnswer);
    for (const MessageAnswer answer : queued)
        recorder.queueAnswer(answer);
    QList<MessageAnswer> given;
    for (const MessageButtons buttons : boxes)
        given << showMessage(QStringLiteral("text"), QStringLiteral("title"),
                             MessageIcon::Information, buttons);
    QCOMPARE(given, answers);
    QCOMPARE(recorder.messages().size(), std::size_t(boxes.size()));
}

void MessagesTest::recorderRestoresThePreviousAnswerer()
{
    {
        MessageRecorder outer(MessageAnswer::Yes);
        {
            MessageRecorder inner(MessageAnswer::No);
            QCOMPARE(showMessage(QStringLiteral("inner"), QString(), MessageIcon::Question,
                                 MessageButtons::YesNo),
                     MessageAnswer::No);
            QCOMPARE(outer.messages().size(), std::size_t(0));
        }
        QCOMPARE(showMessage(QStringLiteral("outer"), QString(), MessageIcon::Question,
                             MessageButtons::YesNo),
                 MessageAnswer::Yes);
        QCOMPARE(outer.messages().size(), std::size_t(1));
        QCOMPARE(outer.messages().front().text, QStringLiteral("outer"));
    }
    // With the last recorder gone, real boxes are back.
    QVERIFY(!setMessageAnswerer(nullptr));
}

void MessagesTest::realBoxShowsTheMessage_data()
{
    QTest::addColumn<MessageIcon>("icon");
    QTest::addColumn<MessageButtons>("buttons");
    QTest::addColumn<QMessageBox::StandardButton>("press");
    QTest::addColumn<QMessageBox::Icon>("boxIcon");
    QTest::addColumn<MessageAnswer>("answer");

    QTest::newRow("error") << MessageIcon::Error << MessageButtons::Ok << QMessageBox::Ok
                           << QMessageBox::Critical << MessageAnswer::Ok;
    QTest::newRow("warning") << MessageIcon::Warning << MessageButtons::Ok << QMessageBox::Ok
                             << QMessageBox::Warning << MessageAnswer::Ok;
    QTest::newRow("information") << MessageIcon::Information << MessageButtons::Ok
                                 << QMessageBox::Ok << QMessageBox::Information
                                 << MessageAnswer::Ok;
    QTest::newRow("question, yes")
        << MessageIcon::Question << MessageButtons::YesNo << QMessageBox::Yes
        << QMessageBox::Question << MessageAnswer::Yes;
    QTest::newRow("question, no") << MessageIcon::Question << MessageButtons::YesNo
                                  << QMessageBox::No << QMessageBox::Question << MessageAnswer::No;
}

void MessagesTest::realBoxShowsTheMessage()
{
    QFETCH(MessageIcon, icon);
    QFETCH(MessageButtons, buttons);
    QFETCH(QMessageBox::StandardButton, press);
    QFETCH(QMessageBox::Icon, boxIcon);
    QFETCH(MessageAnswer, answer);

    QString shownText;
    QString shownTitle;
    QMessageBox::Icon shownIcon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons shownButtons;
    QTimer::singleShot(0, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        shownText = box->text();
        shownTitle = box->windowTitle();
        shownIcon = box->icon();
        shownButtons = box->standardButtons();
        box->button(press)->click();
    });

    QCOMPARE(showMessage(clearQuestion, QStringLiteral("Data Delete"), icon, buttons), answer);
    QCOMPARE(
        shownText,
        QStringLiteral("You will delete the measure data currently displayed! \n\nAre you sure?"));
    QCOMPARE(shownTitle, QStringLiteral("Data Delete"));
    QCOMPARE(shownIcon, boxIcon);
    QCOMPARE(shownButtons, buttons == MessageButtons::Ok
                               ? QMessageBox::StandardButtons(QMessageBox::Ok)
                               : QMessageBox::Yes | QMessageBox::No);
}

QTEST_MAIN(MessagesTest)
#include "MessagesTest.moc"
