#pragma once
// What the album picker and the file-number picker share: a window that blocks only its caller
// (common/ui/FormHost.h) with tabs of sort orders, the locator prompt and its text, one paged list,
// "&Select" (the default button, so that Enter selects) and "Cl&ose", the status text, and the
// remembered position and column layout. A double click or Ctrl+Enter on the list selects too.

#include "common/ColumnFormatStore.h"
#include "data/Records.h"

#include <QDialog>
#include <memory>

class QHBoxLayout;
class QLabel;
class QPushButton;
class QTabBar;

namespace td {

class AppState;
class BrowseList;
class ColumnFormatMemory;
class PagedList;
class PagedTableModel;

class PickerDialog : public QDialog {
    Q_OBJECT
public:
    BrowseList* list() const { return list_; }
    QTabBar* tabs() const { return tabs_; }
    QString locatorDisplay() const;
    // Reads the list for the current tab: from the top, or on `position` when given. False after
    // a read error (message shown); the caller opening the picker then answers at once.
    bool readList(qint64 position = 0);

protected:
    // `procedure` names the window and its POSITION.INI section.
    PickerDialog(AppState& state, const QString& procedure, const QString& caption);
    ~PickerDialog() override;

    // Builds the window around the list (the model's columns already set from `format`).
    void build(PagedList& list, PagedTableModel& model, const QStringList& tabTitles, const ColumnFormatKeys& keys,
               const QString& format, bool selectInMenu);
    // The row above the locator, for controls of one tab (a category to choose).
    QHBoxLayout* rangeRow() const { return rangeRow_; }

    // The current tab changed: the subclass gives the list its order (the list then starts from
    // the top with an empty locator).
    virtual void configure(int tab) = 0;
    // The key values a locator text stands for (after the fixed ones): the text itself unless the
    // order starts with a number.
    virtual Row locatorValues(const QString& text) const { return Row { QVariant(text) }; }
    // The table's label for the read error message.
    virtual QString tableLabel() const = 0;
    // The highlighted record is about to be answered: read it afresh; false when there is none.
    virtual bool takeChosen() = 0;

    AppState& state() const { return state_; }
    void done(int r) override;
    void showEvent(QShowEvent* e) override;

private:
    void tabChosen(int index);
    void select();
    void readFailed();
    void updateButtons();

    AppState& state_;
    QString procedure_;
    std::unique_ptr<ColumnFormatMemory> columns_;
    PagedList* paged_ = nullptr;
    BrowseList* list_ = nullptr;
    QTabBar* tabs_ = nullptr;
    QLabel* locator_ = nullptr;
    QHBoxLayout* rangeRow_ = nullptr;
    QPushButton* select_ = nullptr;
    QPushButton* close_ = nullptr;
    bool positioned_ = false;
    bool finished_ = false;
};

} // namespace td
