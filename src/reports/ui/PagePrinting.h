#pragma once
// Sending a page list to the printer. Copies: when the printer is asked for more than one copy and
// it either collates or cannot make copies by itself (QPrinter::supportsMultipleCopies), the list
// is repeated (PageList::handleCopies) and printed once, so that three collated copies come out
// 1-2-3, 1-2-3, 1-2-3 on any printer; otherwise the printer makes the copies. The pages go out a
// few at a time between events, so a long job never freezes the windows. More than kMaxCopies
// copies are refused with a message.

#include <QString>
#include <functional>

class QPrinter;
class QWidget;

namespace td {

class AppState;
class Messages;
class PageList;

inline constexpr int kMaxCopies = 999;

struct PrintJobOptions {
    QString title; // the job's name in the printer's queue
    bool askPrinter = false; // show the system's print dialog first (its Cancel prints nothing)
};

// Prints `pages` on `printer` for `caller`; `done` gets true when every page went out. Problems
// (no printer, a page that cannot be read, too many copies) are told through `messages`. The list
// and the printer must live until the answer; after a repeated-copies job the list holds the copies.
void printPages(QWidget* caller, QPrinter& printer, Messages& messages, PageList& pages,
    const PrintJobOptions& options, std::function<void(bool printed)> done = {});

// The same on the program's printer (AppState::printer).
void printPages(QWidget* caller, AppState& state, PageList& pages, const PrintJobOptions& options,
    std::function<void(bool printed)> done = {});

// Why the printer cannot take a job ("No printer is available.|Choose a printer in Print Setup."),
// or empty when it can.
QString printerProblem(const QPrinter& printer);

// Whether the printer is to get the list repeated for `copies` copies (the rule above).
bool copiesFromPageList(const QPrinter& printer, int copies);

} // namespace td
