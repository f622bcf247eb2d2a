#pragma once

#include <QString>
#include <functional>

namespace sonmetra::ui {

enum class MessageIcon
{
    Error,
    Warning,
    Information,
    Question
};
enum class MessageButtons
{
    Ok,
    YesNo
};
enum class MessageAnswer
{
    Ok,
    Yes,
    No
};

struct Message
{
    QString text;
    QString title;
    MessageIcon icon;
    MessageButtons buttons;

    friend bool operator==(const Message&, const Message&) = default;
};

using MessageAnswerer = std::function<MessageAnswer(const Message&)>;

// Every message box of the program goes through here. The text may hold "\r\n" line breaks.
// Without an answerer a modal box is shown over the active window and the pressed button is
// returned; with one, the answerer decides and no box appears.
MessageAnswer showMessage(const QString& text, const QString& title, MessageIcon icon,
                          MessageButtons buttons = MessageButtons::Ok);

// Installs the answerer (nullptr: real boxes again) and returns the one it replaces.
MessageAnswerer setMessageAnswerer(MessageAnswerer answerer);

} // namespace sonmetra::ui
