#include "ui/Accessibility.h"

#include "ui/Arrow.h"
#include "ui/BarChart.h"
#include "ui/NumericFigure.h"
#include "ui/SevenSegment.h"
#include "ui/StatusLight.h"

#include <QAccessibleWidget>

namespace sonmetra::ui {
namespace {

// The arrow's light is not its pressed state as far as the button knows, so it is reported here.
class ArrowAccessible : public QAccessibleWidget
{
public:
    explicit ArrowAccessible(Arrow* arrow) : QAccessibleWidget(arrow, QAccessible::Button) {}

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.pressed = arrow()->isLit();
        return state;
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return lightStateText(arrow()->isLit());
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override
    {
        return QStringList(pressAction()) + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& actionName) override
    {
        if (actionName == pressAction())
            arrow()->click();
        else
            QAccessibleWidget::doAction(actionName);
    }

private:
    Arrow* arrow() const { return static_cast<Arrow*>(widget()); }
};

class StatusLightAccessible : public QAccessibleWidget
{
public:
    explicit StatusLightAccessible(StatusLight* light)
        : QAccessibleWidget(light, QAccessible::Indicator)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return lightStateText(static_cast<StatusLight*>(widget())->isLit());
        return QAccessibleWidget::text(t);
    }
};

// Displays read out what they show, also when the owner has given them a name of their own.
class DisplayAccessible : public QAccessibleWidget
{
public:
    explicit DisplayAccessible(QWidget* display)
        : QAccessibleWidget(display, QAccessible::StaticText)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        const QString shown = widget()->property("text").toString();
        if (t == QAccessible::Value)
            return shown;
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return shown;
        return QAccessibleWidget::text(t);
    }
};

class ChartAccessible : public QAccessibleWidget
{
public:
    explicit ChartAccessible(BarChart* chart) : QAccessibleWidget(chart, QAccessible::Chart) {}

    QString text(QAccessible::Text t) const override
    {
        const QString summary = static_cast<BarChart*>(widget())->viewSummary();
        if (t == QAccessible::Value)
            return summary;
        if (t == QAccessible::Description && widget()->accessibleDescription().isEmpty())
            return summary;
        return QAccessibleWidget::text(t);
    }
};

template <class Widget> bool is(const QString& key, QObject* object)
{
    return key == QLatin1StringView(Widget::staticMetaObject.className()) &&
           qobject_cast<Widget*>(object) != nullptr;
}

// Qt's accessibility cache takes ownership of every interface a factory returns.
QAccessibleInterface* createInterface(const QString& key, QObject* object)
{
    if (is<Arrow>(key, object))
        return new ArrowAccessible(static_cast<Arrow*>(object));
    if (is<StatusLight>(key, object))
        return new StatusLightAccessible(static_cast<StatusLight*>(object));
    if (is<SevenSegment>(key, object) || is<NumericFigure>(key, object))
        return new DisplayAccessible(static_cast<QWidget*>(object));
    if (is<BarChart>(key, object))
        return new ChartAccessible(static_cast<BarChart*>(object));
    return nullptr;
}

} // namespace

QString lightStateText(bool lit)
{
    return lit ? QStringLiteral("lit") : QStringLiteral("dark");
}

void installAccessibleInterfaces()
{
    static const bool installed = [] {
        QAccessible::installFactory(createInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace sonmetra::ui
