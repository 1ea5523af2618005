#pragma once
// "Format Listbox...": the explorer list's columns (shown and hidden), each column's settings and
// the list's own (line height, font, scroll bars), every change shown in the list at once.

#include "explorer/ExplorerColumns.h"
#include "explorer/ExplorerFormat.h"

#include <QFont>
#include <QList>
#include <functional>

class QWidget;

namespace td {

// The list the window reformats: its columns as shown and its settings, each change applied at once.
class ExplorerFormatTarget {
public:
    virtual ~ExplorerFormatTarget() = default;
    virtual ExplorerKind kind() const = 0;
    virtual const QList<ShownColumn>& shown() const = 0;
    // Shows the list in a new format; the order stays.
    virtual void applyFormat(const QString& format) = 0;
    virtual const ExplorerListSettings& listSettings() const = 0;
    virtual void applyListSettings(const ExplorerListSettings& s) = 0;
    virtual QFont listFont() const = 0;
};

// Opens the window for `list` on behalf of `caller` (blocked while it is open); `closed` runs when
// "&Close" is pressed.
void XploreProcReformat(ExplorerFormatTarget& list, QWidget* caller, std::function<void()> closed);

} // namespace td
