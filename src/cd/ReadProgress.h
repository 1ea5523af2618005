#pragma once
// What the CD reader tells its progress window. The window (ui/ReadProgressWindow.h) implements
// this; the reader itself knows no widgets, and tests record the calls.

#include <QString>

namespace td {

class ReadProgress {
public:
    virtual ~ReadProgress() = default;
    // The window opens with its caption, the bar visible, the status line and an empty second line.
    virtual void start(const QString& caption, const QString& status) = 0;
    virtual void setStatus(const QString& text) = 0;
    virtual void setPercent(int percent) = 0;
    // Lets other windows handle their events between tracks.
    virtual void yield() { }
    virtual void finish() = 0;
};

} // namespace td
