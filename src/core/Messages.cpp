#include "core/Messages.h"

namespace td {

QString Message::displayText() const
{
    QString t = text;
    t.replace(QLatin1Char('|'), QLatin1Char('\n'));
    return t;
}

Messages::Messages() = default;
Messages::~Messages() = default;

int Messages::show(const Message& m)
{
    if (!responder_)
        return m.defaultButton;
    return responder_->ask(m);
}

int Messages::show(const QString& caption, const QString& text, Icon icon, int buttons, int defaultButton)
{
    Message m;
    m.caption = caption;
    m.text = text;
    m.icon = icon;
    m.buttons = buttons;
    m.defaultButton = defaultButton;
    return show(m);
}

void Messages::setResponder(std::shared_ptr<MessageResponder> r)
{
    responder_ = std::move(r);
}

} // namespace td
