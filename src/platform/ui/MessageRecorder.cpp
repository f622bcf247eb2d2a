#include "ui/MessageRecorder.h"

namespace sonmetra::ui {

MessageRecorder::MessageRecorder(MessageAnswer defaultAnswer)
    : defaultAnswer(defaultAnswer),
      previous(setMessageAnswerer([this](const Message& message) { return answer(message); }))
{
}

MessageRecorder::~MessageRecorder()
{
    setMessageAnswerer(std::move(previous));
}

void MessageRecorder::queueAnswer(MessageAnswer answer)
{
    queued.push_back(answer);
}

const std::vector<Message>& MessageRecorder::messages() const
{
    return recorded;
}

MessageAnswer MessageRecorder::answer(const Message& message)
{
    recorded.push_back(message);
    MessageAnswer given = defaultAnswer;
    if (!queued.empty()) {
        given = queued.front();
        queued.pop_front();
    }
    if (message.buttons == MessageButtons::Ok)
        return MessageAnswer::Ok;
    return given == MessageAnswer::Ok ? MessageAnswer::Yes : given;
}

} // namespace sonmetra::ui
