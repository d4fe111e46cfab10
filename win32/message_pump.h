// What a wait answers a window's messages through while it waits.
#pragma once

namespace orva {

class MessagePump {
public:
    // Retrieves and answers every message the thread has now; false once
    // the wait must end (its window is closing).
    virtual bool AnswerMessages() = 0;

protected:
    MessagePump() = default;
    MessagePump(const MessagePump&) = default;
    MessagePump& operator=(const MessagePump&) = default;
    ~MessagePump() = default;
};

// A wait that its pump ended: a result of its own, never a lack of output.
struct WaitStopped {};

}  // namespace orva
