#pragma once
// The one message service. Every message box of the program goes through here: numbered standard
// messages and free texts alike. The program installs a responder that shows a real message box;
// tests install a scripted responder that records every question and gives planned answers.

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace td {

// Answer values as the message boxes return them.
enum Button : int { Ok = 1, Yes = 2, No = 4, Abort = 8, Retry = 16, Ignore = 32, Cancel = 64 };

enum class Icon { None, Information, Exclamation, Question, Stop };

struct Message {
    QString caption;
    QString text;               // a bar "|" is a line break; the responder shows it as one
    Icon icon = Icon::Information;
    int buttons = Ok;           // OR of Button values
    int defaultButton = Ok;
    int number = 0;             // standard message number, 0 for a free text

    // The text as shown: bars turned into line breaks.
    QString displayText() const;
};

class MessageResponder {
public:
    virtual ~MessageResponder() = default;
    virtual int ask(const Message& m) = 0;
};

class Messages {
public:
    Messages();
    ~Messages();

    // Shows the message and returns the button pressed. Without a responder the default button
    // is the answer (a program with no screen never hangs on a question).
    int show(const Message& m);
    int show(const QString& caption, const QString& text, Icon icon = Icon::Information,
             int buttons = Ok, int defaultButton = Ok);

    void setResponder(std::shared_ptr<MessageResponder> r);
    std::shared_ptr<MessageResponder> responder() const { return responder_; }

private:
    std::shared_ptr<MessageResponder> responder_;
};

} // namespace td
