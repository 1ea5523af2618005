#pragma once
// The list control of every browse and picker: a table view showing one page of a paged list with
// a scroll bar whose thumb is the list's estimate (0..100), keyboard paging, a type-ahead locator
// (printable keys add to the text, Backspace takes the last character away), and signals for the
// keys and mouse actions the windows give meaning to: Insert, Delete, Ctrl+Enter and a double click,
// a right click. Rows can be dragged out when the model gives them drag data; a list whose view is
// set to extended selection lets the mouse choose several rows of the page to drag together.

#include "common/PagedList.h"

#include <QWidget>
#include <functional>

class QScrollBar;
class QTableView;

namespace td {

class PagedTableModel;
class PageView;

class BrowseList : public QWidget {
    Q_OBJECT
public:
    BrowseList(PagedList& list, PagedTableModel& model, QWidget* parent = nullptr);

    PagedList& list() const { return list_; }
    QTableView* view() const;
    QScrollBar* scrollBar() const { return scrollBar_; }

    // The locator: the leading key values (after the list's fixed ones) a text stands for. Without
    // a function the list has no locator.
    void setLocator(std::function<Row(const QString&)> values, int maxLength = 30);
    QString locatorText() const { return locatorText_; }
    // Sets the text without moving (a change of order brings back that order's own text).
    void setLocatorText(const QString& text);

    // Runs a read of the list (list.first(), list.rebuild(), ...) and shows the page it gave. A
    // read error is reported through readFailed and leaves the page as it was.
    bool run(const std::function<int(PagedList&)>& read);
    // Shows the list's page as it is now.
    void showPage();

    int rowsVisible() const;

    // With fitColumns on, the list asks to be wide enough for every column, so that a window
    // opened without a remembered size shows them all where the frame has room.
    void setFitColumns(bool on);
    QSize sizeHint() const override;

signals:
    void insertRequested();
    void deleteRequested();
    void changeRequested();                 // Ctrl+Enter, double click
    void contextMenuRequested(const QPoint& globalPos);
    void locatorChanged(const QString& text);
    void highlightChanged();
    void readFailed(int errorCode);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    friend class PageView;
    bool handleKey(QKeyEvent* e);
    void rowClicked(int row);
    void scrollAction(int action);
    void fitPageSize();

    PagedList& list_;
    PagedTableModel& model_;
    PageView* view_;
    QScrollBar* scrollBar_;
    std::function<Row(const QString&)> locator_;
    int locatorMax_ = 30;
    QString locatorText_;
    bool updating_ = false;
    bool started_ = false;
    bool fitColumns_ = false;          // a first read was made: resizing reads again
};

} // namespace td
