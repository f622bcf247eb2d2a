#include "ui/MessageService.h"

#include <QApplication>
#include <QMessageBox>
#include <utility>

namespace sonmetra::ui {
namespace {

MessageAnswerer& installedAnswerer()
{
    static MessageAnswerer answerer;
    return answerer;
}

QMessageBox::Icon boxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

MessageAnswer showBox(const Message& message)
{
    const bool question = message.buttons == MessageButtons::YesNo;
    // The program's texts break lines with CR LF; the box wants bare line feeds.
    QString shown = message.text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(boxIcon(message.icon), message.title, shown,
                    question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    const int pressed = box.exec();
    if (!question)
        return MessageAnswer::Ok;
    // Closing a question box counts as its No button, as QMessageBox makes No the escape button.
    return pressed == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

} // namespace

MessageAnswer showMessage(const QString& text, const QString& title, MessageIcon icon,
                          MessageButtons buttons)
{
    const Message message{text, title, icon, buttons};
    if (const MessageAnswerer& answerer = installedAnswerer())
        return answerer(message);
    return showBox(message);
}

MessageAnswerer setMessageAnswerer(MessageAnswerer answerer)
{
    return std::exchange(installedAnswerer(), std::move(answerer));
}

} // namespace sonmetra::ui
