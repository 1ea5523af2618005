#pragma once
// The explorer view's list put back where the user left it, and the view's picture.

class QLabel;
class QWidget;

namespace td {

struct ExplorerListSettings;

// Gives the list its saved size and place in the view: the view's frame grows or shrinks by the
// difference in size (within its minimum and the room it has), and a saved place further right or
// down than the one the layout gives leaves that much room before the list. Nothing changes for a
// maximized view or one without a saved size.
void applyListPlace(QWidget* view, QWidget* list, const ExplorerListSettings& s);

// The picture beside the locator.
QLabel* explorerPicture(QWidget* parent);

} // namespace td
