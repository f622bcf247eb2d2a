#include "app/DateText.h"

#include <QLocale>
#include <QRegularExpression>

namespace sonmetra {

namespace {

// The system's long time format without its time-zone part, which the program never shows.
QString longTimeFormat()
{
    static const QString format = [] {
        QString f = QLocale::system().timeFormat(QLocale::LongFormat);
        f.remove(QRegularExpression(QStringLiteral("\\s*\\bt+\\b\\s*")));
        return f.trimmed();
    }();
    return format;
}

} // namespace

QString dateTimeText(const QDateTime& dateTime)
{
    QString text = dateTime.date().toString(QString::fromLatin1(ShortDateFormat));
    if (dateTime.time() != QTime(0, 0))
        text += QLatin1Char(' ') + QLocale::system().toString(dateTime.time(), longTimeFormat());
    return text;
}

} // namespace sonmetra
