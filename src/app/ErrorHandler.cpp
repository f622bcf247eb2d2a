#include "app/ErrorHandler.h"

#include "ui/MessageService.h"

namespace sonmetra {

QString defaultErrorText(const QString& failure)
{
    if (!failure.isEmpty() && failure.back() > QLatin1Char('.'))
        return failure + QLatin1Char('.');
    return failure;
}

void showDefaultError(const QString& failure)
{
    ui::showMessage(defaultErrorText(failure), QString::fromLatin1(ApplicationTitle),
                    ui::MessageIcon::Error);
}

} // namespace sonmetra
