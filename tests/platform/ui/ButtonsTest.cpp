#include "ui/Arrow.h"
#include "ui/CheckLight.h"
#include "ui/SwitchLight.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QTest>

using sonmetra::ui::Arrow;
using sonmetra::ui::CheckLight;
using sonmetra::ui::SwitchLight;

class ButtonsTest : public QObject
{
    Q_OBJECT

private slots:
    void switchFlipsItsLightOnEveryPress();
    void switchDoubleClickIsOneClickAndOneDoubleClick();
    void disabledSwitchIgnoresPresses();
    void switchSetLitIsChecked();
    void switchReportsCaptionHintAndLight_data();
    void switchReportsCaptionHintAndLight();
    void checkLightTogglesAndReportsIt();
    void arrowDoesNotLightItself();
    void arrowLightIsVisibleToAccessibility_data();
    void arrowLightIsVisibleToAccessibility();
    void arrowAccessiblePressClicks();
};

void ButtonsTest::switchFlipsItsLightOnEveryPress()
{
    SwitchLight button(QStringLiteral("SAVE"));
    QSignalSpy clicked(&button, &QAbstractButton::clicked);
    QSignalSpy toggled(&button, &QAbstractButton::toggled);
    QVERIFY(!button.isLit());

    QTest::mouseClick(&button, Qt::LeftButton);
    QVERIFY(button.isLit());
    QTest::mouseClick(&button, Qt::LeftButton);
    QVERIFY(!button.isLit());

    QCOMPARE(clicked.count(), 2);
    QCOMPARE(toggled.count(), 2);
    QCOMPARE(toggled.at(0).at(0).toBool(), true);
    QCOMPARE(toggled.at(1).at(0).toBool(), false);
}

void ButtonsTest::switchDoubleClickIsOneClickAndOneDoubleClick()
{
    SwitchLight button(QStringLiteral("START"));
    QSignalSpy clicked(&button, &QAbstractButton::clicked);
    QSignalSpy doubleClicked(&button, &SwitchLight::doubleClicked);
    QSignalSpy toggled(&button, &QAbstractButton::toggled);
    // The light is already lit when the second press reports itself.
    bool litAtDoubleClick = true;
    connect(&button, &SwitchLight::doubleClicked, this, [&] { litAtDoubleClick = button.isLit(); });

    // What a widget receives for a fast pair: press, release, double-click, release.
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseDClick(&button, Qt::LeftButton);
    QTest::mouseRelease(&button, Qt::LeftButton);

    QCOMPARE(clicked.count(), 1);
    QCOMPARE(doubleClicked.count(), 1);
    QCOMPARE(toggled.count(), 2);
    QVERIFY(!litAtDoubleClick);
    QVERIFY(!button.isLit());
}

void ButtonsTest::disabledSwitchIgnoresPresses()
{
    SwitchLight button(QStringLiteral("PRINT"));
    button.setEnabled(false);
    QSignalSpy clicked(&button, &QAbstractButton::clicked);
    QSignalSpy doubleClicked(&button, &SwitchLight::doubleClicked);

    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseDClick(&button, Qt::LeftButton);
    QTest::mouseRelease(&button, Qt::LeftButton);

    QCOMPARE(clicked.count(), 0);
    QCOMPARE(doubleClicked.count(), 0);
    QVERIFY(!button.isLit());
}

void ButtonsTest::switchSetLitIsChecked()
{
    SwitchLight button(QStringLiteral("CONN"));
    QSignalSpy clicked(&button, &QAbstractButton::clicked);
    QVERIFY(button.isCheckable());

    button.setLit(true);
    QVERIFY(button.isChecked());
    button.setChecked(false);
    QVERIFY(!button.isLit());
    QCOMPARE(clicked.count(), 0);
}

void ButtonsTest::switchReportsCaptionHintAndLight_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<bool>("lit");

    QTest::newRow("dark") << "CONN"
                          << "Connect to the Instrument" << false;
    QTest::newRow("lit, hint with trailing blank") << "DISCON"
                                                   << "Disconnect " << true;
    QTest::newRow("long hint") << "FILE"
                               << "Download Measurement Data File Stored In The Instrument"
                               << false;
}

void ButtonsTest::switchReportsCaptionHintAndLight()
{
    QFETCH(QString, caption);
    QFETCH(QString, hint);
    QFETCH(bool, lit);

    SwitchLight button(QStringLiteral("before"));
    button.setToolTip(QStringLiteral("old hint"));
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&button);
    QVERIFY(face);
    QCOMPARE(face->text(QAccessible::Name), QStringLiteral("before"));

    // Captions and hints change at run time; the interface follows them.
    button.setText(caption);
    button.setToolTip(hint);
    button.setLit(lit);

    QCOMPARE(button.accessibleDescription(), hint);
    QCOMPARE(face->text(QAccessible::Name), caption);
    QCOMPARE(face->text(QAccessible::Description), hint);
    QVERIFY(face->state().checkable);
    QCOMPARE(bool(face->state().checked), lit);
    QVERIFY(!face->state().disabled);
    button.setEnabled(false);
    QVERIFY(face->state().disabled);
}

void ButtonsTest::checkLightTogglesAndReportsIt()
{
    CheckLight light(QStringLiteral("Set Prompt"));
    QSignalSpy toggled(&light, &QAbstractButton::toggled);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&light);
    QVERIFY(face);
    QCOMPARE(face->text(QAccessible::Name), QStringLiteral("Set Prompt"));
    QVERIFY(face->state().checkable);
    QVERIFY(!face->state().checked);

    QTest::mouseClick(&light, Qt::LeftButton);
    QVERIFY(light.isChecked());
    QVERIFY(face->state().checked);

    light.setChecked(false);
    QCOMPARE(toggled.count(), 2);
    QCOMPARE(toggled.at(1).at(0).toBool(), false);
}

void ButtonsTest::arrowDoesNotLightItself()
{
    Arrow arrow(Arrow::Direction::Up);
    QSignalSpy pressed(&arrow, &QAbstractButton::pressed);
    QSignalSpy released(&arrow, &QAbstractButton::released);
    QSignalSpy clicked(&arrow, &QAbstractButton::clicked);
    QVERIFY(!arrow.isCheckable());
    QVERIFY(!arrow.autoRepeat());

    QTest::mousePress(&arrow, Qt::LeftButton);
    QCOMPARE(pressed.count(), 1);
    QVERIFY(!arrow.isLit());
    QCOMPARE(clicked.count(), 0);
    QTest::mouseRelease(&arrow, Qt::LeftButton);
    QCOMPARE(released.count(), 1);
    QCOMPARE(clicked.count(), 1);
    QVERIFY(!arrow.isLit());
}

void ButtonsTest::arrowLightIsVisibleToAccessibility_data()
{
    QTest::addColumn<Arrow::Direction>("direction");
    QTest::addColumn<QString>("name");
    QTest::newRow("up") << Arrow::Direction::Up << "Page up";
    QTest::newRow("down") << Arrow::Direction::Down << "Page down";
}

void ButtonsTest::arrowLightIsVisibleToAccessibility()
{
    QFETCH(Arrow::Direction, direction);
    QFETCH(QString, name);

    Arrow arrow(direction);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&arrow);
    QVERIFY(face);
    QCOMPARE(face->role(), QAccessible::Button);
    QCOMPARE(face->text(QAccessible::Name), name);
    QVERIFY(!face->state().pressed);
    QCOMPARE(face->text(QAccessible::Value), QStringLiteral("dark"));

    arrow.setLit(true);
    QVERIFY(arrow.isLit());
    QVERIFY(face->state().pressed);
    QCOMPARE(face->text(QAccessible::Value), QStringLiteral("lit"));

    arrow.setLit(false);
    QVERIFY(!face->state().pressed);

    arrow.setAccessibleName(QStringLiteral("Newer reading"));
    QCOMPARE(face->text(QAccessible::Name), QStringLiteral("Newer reading"));
}

void ButtonsTest::arrowAccessiblePressClicks()
{
    Arrow arrow(Arrow::Direction::Down);
    QSignalSpy clicked(&arrow, &QAbstractButton::clicked);
    QAccessibleActionInterface* actions =
        QAccessible::queryAccessibleInterface(&arrow)->actionInterface();
    QVERIFY(actions);
    QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));

    actions->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(clicked.count(), 1);
    arrow.setEnabled(false);
    actions->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(clicked.count(), 1);
}

QTEST_MAIN(ButtonsTest)
#include "ButtonsTest.moc"
