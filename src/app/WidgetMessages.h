#pragma once
// The program's message responder: a real message box with the caption, text, icon, buttons and
// default button of the message.

#include "core/Messages.h"

namespace td {

class WidgetMessages : public MessageResponder {
public:
    int ask(const Message& m) override;
};

} // namespace td
