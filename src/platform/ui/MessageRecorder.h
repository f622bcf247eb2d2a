#pragma once

#include "ui/MessageService.h"

#include <deque>
#include <vector>

namespace sonmetra::ui {

// Answers every message box while it lives, so no modal loop runs, and keeps what was shown.
// Each box takes the next queued answer, or the default answer once the queue is empty. The
// answer is fitted to the box's buttons as a person pressing its default button would: an OK box
// is always answered Ok, and Ok given for a Yes/No box means Yes.
class MessageRecorder
{
public:
    explicit MessageRecorder(MessageAnswer defaultAnswer = MessageAnswer::Ok);
    ~MessageRecorder();

    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    void queueAnswer(MessageAnswer answer);
    const std::vector<Message>& messages() const;

private:
    MessageAnswer answer(const Message& message);

    MessageAnswer defaultAnswer;
    std::deque<MessageAnswer> queued;
    std::vector<Message> recorded;
    MessageAnswerer previous;
};

} // namespace sonmetra::ui
