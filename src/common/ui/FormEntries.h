#pragma once
// Small pieces the record forms share for their entries: a memo stopped at its size, a guard that
// runs one field check at a time, and Enter running an entry's own check before OK.

#include <QObject>
#include <functional>

class QPlainTextEdit;
class QWidget;

namespace td {

// Stops a memo at `max` characters, keeping the cursor where the typing was.
void limitMemo(QPlainTextEdit* edit, int max);

// Runs a field check once at a time: a message box taking the focus must not start another.
class CheckGuard {
public:
    explicit CheckGuard(bool& flag)
        : flag_(flag)
        , was_(flag)
    {
        flag_ = true;
    }
    ~CheckGuard() { flag_ = was_; }
    CheckGuard(const CheckGuard&) = delete;
    CheckGuard& operator=(const CheckGuard&) = delete;
    bool nested() const { return was_; }

private:
    bool& flag_;
    bool was_;
};

// Enter in an entry runs that entry's check first. A failed check (its message shown, the entry
// selected again) keeps the key from reaching OK, which would run the same check and show the same
// message a second time; a passed one lets OK go on.
class CheckOnEnter : public QObject {
public:
    CheckOnEnter(QWidget* entry, std::function<bool()> check);

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    std::function<bool()> check_;
};

} // namespace td
