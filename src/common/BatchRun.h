#pragma once
// A long run (import, export, report scan, housekeeping, legacy move) works in slices: its window
// calls step() on a timer so that the program stays responsive, shows percent() followed by
// "% Completed", and cancel() ends the run after the current slice. Tests drive step() directly.

#include <QString>

namespace td {

class BatchRun {
public:
    virtual ~BatchRun() = default;

    // Prepares the run. False means there is nothing to do: no window is shown and finish() is not called.
    virtual bool start() = 0;
    // Processes up to `count` rows; returns false when the run has reached its end (or must stop).
    virtual bool step(int count) = 0;
    // Called once after the last step, after a cancel as well: releases what start() took.
    virtual void finish() {}

    // 0 to 100.
    virtual int percent() const = 0;
    // Rows handled per timer tick.
    virtual int sliceSize() const { return 25; }

    virtual QString caption() const { return QStringLiteral("Processing Records"); }
    virtual QString taskText() const = 0;

    void cancel() { cancelled_ = true; }
    bool isCancelled() const { return cancelled_; }

    // Runs to the end without a window (tests, and runs started where no screen is wanted).
    void runToEnd();

    static QString percentText(int percent);
    static QString completedText() { return QStringLiteral("Process Completed"); }

private:
    bool cancelled_ = false;
};

} // namespace td
