#include "ScriptedMessages.h"

#include <QEventLoop>
#include <QTimer>

namespace td::test {

int ScriptedMessages::ask(const Message& m)
{
    asked_.append(m);
    if (waitMs_ > 0) {
        QEventLoop loop;
        QTimer::singleShot(waitMs_, &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (onAsk)
        onAsk(m);
    if (answers_.isEmpty())
        return m.defaultButton;
    return answers_.takeFirst();
}

QStringList ScriptedMessages::captions() const
{
    QStringList out;
    for (const auto& m : asked_)
        out << m.caption;
    return out;
}

QList<int> ScriptedMessages::numbers() const
{
    QList<int> out;
    for (const auto& m : asked_)
        out << m.number;
    return out;
}

std::shared_ptr<ScriptedMessages> installScripted(Messages& messages)
{
    auto s = std::make_shared<ScriptedMessages>();
    messages.setResponder(s);
    return s;
}

} // namespace td::test
