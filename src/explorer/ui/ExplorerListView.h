#pragma once
// The list of an explorer view as a widget of its own, for the explorer views and the CD player:
// one page of an ExplorerList in a table with its own scroll bar, ordered by a header click (">" or
// "<" before the order column's header, a second click reverses, a column that cannot order says
// so), the header's right-click menu "Escape|Key Sequence", keyboard paging, the locator in the
// order column's format (or the owner's own), and the format and list settings, restored from and
// saved to POSITION.INI. The highlight stays on its record through every reorder and reformat.

#include "common/ui/BrowseNavigable.h"
#include "explorer/ExplorerColumns.h"
#include "explorer/ExplorerFormat.h"
#include "explorer/ExplorerList.h"
#include "explorer/ui/XploreProcReformat.h"

#include <QWidget>
#include <functional>
#include <memory>

class QScrollBar;
class QTableView;

namespace td {

class AppState;
class ExplorerModel;

class ExplorerListView : public QWidget, public ExplorerFormatTarget, public BrowseNavigable {
    Q_OBJECT
public:
    // Restores the saved format of `kind`; the date pictures take the "DateFormat" setting.
    ExplorerListView(AppState& state, ExplorerKind kind, QWidget* parent = nullptr);
    ~ExplorerListView() override;

    ExplorerList& list() { return *list_; }
    QTableView* view() const { return view_; }
    // The header text the list shows for a shown place (with the order marker).
    QString headerText(int place) const;
    QString locatorText() const { return locatorText_; }
    // The list's format as it is now, without the order marker.
    QString currentFormat() const;

    // ExplorerFormatTarget
    ExplorerKind kind() const override { return kind_; }
    const QList<ShownColumn>& shown() const override { return shown_; }
    void applyFormat(const QString& format) override;
    const ExplorerListSettings& listSettings() const override { return settings_; }
    void applyListSettings(const ExplorerListSettings& s) override;
    QFont listFont() const override;

    // A header click on a shown place (order by it; the refusal when it may not order).
    void headerClicked(int place);
    // "Key Sequence": back to the starting order, the highlight kept.
    void keySequence();

    // Shows the page a read of the list gave (0 or 33: at an end), else reports readFailed.
    bool run(int rc);
    // Reads the list again, the highlight on `position` when given, else kept.
    bool rebuild(qint64 position = 0);
    // Typed text goes to `hook` instead of the column locator (true: taken).
    void setTypedHook(std::function<bool(const QString& text)> hook) { typedHook_ = std::move(hook); }
    // Writes the format and list settings (closing).
    void saveFormat() const;

    bool browseStep(BrowseStep step) override;

    // With fitColumns on, the list asks to be wide enough for every shown column, so that a window
    // opened without a remembered size shows them all where the frame has room.
    void setFitColumns(bool on);
    QSize sizeHint() const override;

signals:
    void highlightChanged();
    void locatorChanged(const QString& text);
    void insertRequested();                 // Insert
    void deleteRequested();                 // Delete
    void changeRequested();                 // Ctrl+Enter, double click
    void accepted();                        // Enter
    void popupRequested(const QPoint& globalPos);
    void readFailed(int code);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void showPage();
    void showHeaderMenu(const QPoint& at);
    void typed(const QString& text);
    void fitPageSize();
    void fitColumns();
    int leastWidth(int place) const;
    int designedWidth(int place) const;

    AppState& state_;
    ExplorerKind kind_;
    std::unique_ptr<ExplorerList> list_;
    std::unique_ptr<ExplorerModel> model_;
    QList<ShownColumn> shown_;
    ExplorerListSettings settings_;
    QString dateFormat_;
    QString locatorText_;
    std::function<bool(const QString&)> typedHook_;
    QTableView* view_ = nullptr;
    QScrollBar* scroll_ = nullptr;
    bool fitColumns_ = false;
};

} // namespace td
