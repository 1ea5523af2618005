#pragma once
// What the import and export windows share: their file dialogs and their small in-memory lists.

#include <QString>
#include <QStringList>

class QFileDialog;
class QPushButton;
class QTableWidget;
class QWidget;

namespace td {

// "Import Files|*.CSV|All Files|*.*" as a file dialog's filter: each pattern matches in either
// letter case ("*.CSV *.csv"), "*.*" every file ("*").
QString dialogFilter(const QString& layerFilter);

// A file dialog of our own (not the desktop's), deleted when it closes; not yet shown.
QFileDialog* csvFileDialog(const QString& title, const QString& layerFilter, bool save);

// A list of whole rows with one row highlighted, columns sized by a list format.
QTableWidget* exchangeList(const QString& objectName, const QStringList& headers, const QString& format);

// Widens every column but the last to its contents and title, and keeps the list wide enough
// for them and for the last column's title: nothing in the list is cut off.
void fitColumns(QTableWidget* list);

// A push button named for the tests (its text without "&", " ->" and blanks).
QPushButton* exchangeButton(const QString& text, QWidget* parent = nullptr);

} // namespace td
