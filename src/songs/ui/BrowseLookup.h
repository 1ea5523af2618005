#pragma once
// What the category list and the media list share: a one-column paged list of a small look-up
// table that serves for maintenance (a child window of the frame) and for picking a value (inside a
// picker window that blocks only its caller), with its buttons, keys and popup menu. Its records
// are added and changed in the one-field form (NameForm.h).

#include "common/Request.h"
#include "common/ui/ColumnFormatMemory.h"
#include "data/FieldCatalog.h"
#include "data/TableHandle.h"
#include "songs/ui/NameForm.h"

#include <QDialog>
#include <QWidget>
#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;

namespace td {

class AppState;
class BrowseList;
class PagedList;
class PagedTableModel;

struct LookupListDesign {
    TableId table;
    QString procedure; // window name and POSITION.INI section
    QString caption;
    QString key; // the list's order
    QString field; // the one column's field
    QString format; // the list's designed column format
    QString addText; // "&Insert" or "&Add"
    QString closeText; // "Cl&ose" or "E&xit"
    bool selectFirst = false; // "&Select" before the other buttons (categories) or after (media)
    QSize minimumDialogUnits; // empty: the designed size
    bool rememberColumns = false;
    ColumnFormatKeys columnKeys;
};

class LookupBrowse : public QWidget {
    Q_OBJECT
public:
    LookupBrowse(AppState& state, LookupListDesign design, bool selectMode, QWidget* parent = nullptr);
    ~LookupBrowse() override;

    bool selectMode() const { return selectMode_; }
    // Reads the first page (or the page at `start`, a value of the list's field). False after a
    // read error (message 35 shown): the list closes.
    bool open(const QString& start = {});
    // The highlighted record as a row of the table; empty when the list is empty.
    Row highlightedRow() const;
    BrowseList* list() const { return list_; }
    QPushButton* button(const QString& text) const;

signals:
    void selected(); // "&Select": the highlighted record is chosen
    void closeRequested(); // "Cl&ose" / "E&xit"

protected:
    // Opens the record's form for a request; the answer carries the position of the stored record
    // for the highlight after an add or change.
    virtual void runForm(Request request, const Row& record, NameFormAnswer answered) = 0;
    AppState& state() const { return state_; }

    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void act(Request request);
    void popup(const QPoint& at);
    void updateButtons();
    void readFailed();
    void fitPage();

    AppState& state_;
    LookupListDesign design_;
    bool selectMode_;
    bool positioned_ = false;
    bool closed_ = false;
    std::unique_ptr<TableHandle> table_;
    std::unique_ptr<PagedList> paged_;
    std::unique_ptr<PagedTableModel> model_;
    std::unique_ptr<ColumnFormatMemory> columns_;
    BrowseList* list_ = nullptr;
    QPushButton* select_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* change_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* close_ = nullptr;
};

// Shows a look-up list in select mode in a picker window for `caller`, starting at `start`;
// `answered` gets the chosen row, or an empty row when none was chosen. When the list cannot be
// read (message shown) it answers at once.
void selectFromLookup(LookupBrowse* browse, QWidget* caller, const QString& start,
    std::function<void(const Row& chosen)> answered);
// Closes a look-up list in maintain mode: its child window in the frame, or itself.
void closeLookupWindow(QWidget* w);

} // namespace td
