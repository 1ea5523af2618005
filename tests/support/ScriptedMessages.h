#pragma once
// A responder for tests: records every message and answers from a plan. A message with no planned
// answer gets its default button and is still recorded, so a test can check what was asked.

#include "core/Messages.h"

#include <QList>
#include <functional>
#include <QPair>

namespace td::test {

class ScriptedMessages : public MessageResponder {
public:
    // Plan the answer for the next message whose caption (or, with number > 0, standard number)
    // matches; plans are used in order.
    void plan(int answer) { answers_.append(answer); }
    int ask(const Message& m) override;

    const QList<Message>& asked() const { return asked_; }
    QStringList captions() const;
    QList<int> numbers() const;
    void clear() { asked_.clear(); answers_.clear(); }
    // Answers only after running the event loop for `ms` milliseconds, as a real message box does
    // while it waits for the user: timers and posted events of other windows run meanwhile.
    void waitWhileAsking(int ms) { waitMs_ = ms; }
    int pending() const { return answers_.size(); }

    // Called with each message as it is shown, before its answer: a test looks at the state the
    // user sees the message in (a transaction already rolled back, nothing half-written).
    std::function<void(const Message&)> onAsk;

private:
    QList<Message> asked_;
    QList<int> answers_;
    int waitMs_ = 0;
};

// Installs a fresh scripted responder on a Messages service and returns it.
std::shared_ptr<ScriptedMessages> installScripted(Messages& messages);

} // namespace td::test
