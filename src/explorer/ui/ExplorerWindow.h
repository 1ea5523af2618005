#pragma once
// What the two explorer views share: the list ordered by a header click (">" or "<" before the
// order column's header, a second click reverses), the header's right-click menu "Escape|Key
// Sequence", keyboard paging and the locator in the order column's format, the caption with the
// record count, the popup menu, and the remembered position and list format. XploreSongs and
// XploreAlbums add their buttons and what they do.

#include "explorer/ExplorerColumns.h"
#include "explorer/ExplorerFormat.h"
#include "explorer/ExplorerList.h"

#include <QWidget>
#include <memory>

class QHBoxLayout;
class QLabel;
class QMenu;
class QPushButton;
class QScrollBar;
class QTableView;

namespace td {

class AppState;
class ExplorerModel;

class ExplorerWindow : public QWidget {
    Q_OBJECT
public:
    ~ExplorerWindow() override;

    ExplorerKind kind() const { return kind_; }
    ExplorerList& list() { return *list_; }
    QTableView* view() const { return view_; }
    // The header text the list shows for a shown place (with the order marker).
    QString headerText(int place) const;
    QString locatorText() const { return locatorText_; }
    // The list's format as it is now, without the order marker.
    QString currentFormat() const;
    const QList<ShownColumn>& shown() const { return shown_; }
    // Shows the list in a new format (the reformat window, a restored one); the order stays.
    void applyFormat(const QString& format);
    // The list's font, line height and scroll bars (the reformat window, a restored format).
    const ExplorerListSettings& listSettings() const { return settings_; }
    void applyListSettings(const ExplorerListSettings& s);

    // A header click on a shown place (left: order by it; the refusal when it may not order).
    void headerClicked(int place);
    // "Key Sequence": back to the starting order, the highlight kept.
    void keySequence();
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
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeView();
    void readFailed(int code);

    AppState& state_;
    QPushButton* properties_ = nullptr;

private:
    void showPage();
    bool run(int rc);
    void showHeaderMenu(const QPoint& at);
    void showPopup(const QPoint& at);
    void typed(const QString& text);
    void fitPageSize();
    void fitColumns();
    void reformat();
    void finish();

    ExplorerKind kind_;
    std::unique_ptr<ExplorerList> list_;
    std::unique_ptr<ExplorerModel> model_;
    QList<ShownColumn> shown_;
    ExplorerListSettings settings_;
    QString dateFormat_;
    QString locatorText_;
    bool closing_ = false;
    bool positioned_ = false;
    bool finished_ = false;
    QTableView* view_ = nullptr;
    QScrollBar* scroll_ = nullptr;
    QLabel* locator_ = nullptr;
};

} // namespace td
