#pragma once
// What the two explorer views share: the explorer list (ordered by a header click, its locator and
// format, see ExplorerListView) with the "Locator:" text above it, the caption with the record
// count, the popup menu, "View &Properties" and the remembered position. XploreSongs and
// XploreAlbums add their buttons and what they do.

#include "explorer/ExplorerColumns.h"
#include "explorer/ExplorerFormat.h"
#include "explorer/ExplorerList.h"
#include "explorer/ui/ExplorerListView.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTableView;

namespace td {

class AppState;

class ExplorerWindow : public QWidget {
    Q_OBJECT
public:
    ~ExplorerWindow() override;

    ExplorerKind kind() const { return kind_; }
    ExplorerListView& listView() const { return *listView_; }
    ExplorerList& list() { return listView_->list(); }
    QTableView* view() const { return listView_->view(); }
    // The header text the list shows for a shown place (with the order marker).
    QString headerText(int place) const { return listView_->headerText(place); }
    QString locatorText() const { return listView_->locatorText(); }
    // The list's format as it is now, without the order marker.
    QString currentFormat() const { return listView_->currentFormat(); }
    const QList<ShownColumn>& shown() const { return listView_->shown(); }
    // Shows the list in a new format (the reformat window, a restored one); the order stays.
    void applyFormat(const QString& format) { listView_->applyFormat(format); }
    const ExplorerListSettings& listSettings() const { return listView_->listSettings(); }
    void applyListSettings(const ExplorerListSettings& s) { listView_->applyListSettings(s); }

    // A header click on a shown place (left: order by it; the refusal when it may not order).
    void headerClicked(int place) { listView_->headerClicked(place); }
    // "Key Sequence": back to the starting order, the highlight kept.
    void keySequence() { listView_->keySequence(); }
    // False when the first read failed (message shown): the window is not to be shown.
    bool isReadable() const { return !closing_; }
    // Reads the list again, the highlight on `position` when given, else kept.
    void rebuild(qint64 position = 0);

protected:
    ExplorerWindow(AppState& state, ExplorerKind kind, QWidget* parent);
    // Builds the window; `buttons` are the view's own, in their row order.
    void build(const QList<QPushButton*>& buttons);
    QPushButton* button(const QString& text, const QString& name, const QString& tip = {});
    // The first read; false when it failed.
    bool start();
    virtual void addRecord() = 0;
    virtual void changeRecord() = 0;
    virtual void deleteRecord() = 0;
    virtual void updateButtons() = 0;
    // The view's other buttons, for the popup menu after Add, Change and Delete.
    virtual QList<QPushButton*> menuButtons() const = 0;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeView();
    void readFailed(int code);

    AppState& state_;
    QPushButton* properties_ = nullptr;

private:
    void showPopup(const QPoint& at);
    void reformat();
    void finish();

    ExplorerKind kind_;
    ExplorerListView* listView_ = nullptr;
    bool closing_ = false;
    bool positioned_ = false;
    bool finished_ = false;
    QLabel* locator_ = nullptr;
};

} // namespace td
