#pragma once
// The explorer view of the songs: the song list ordered by any column's header, with the song form,
// the query wizard's search, import and export.

#include "explorer/ui/ExplorerWindow.h"
#include "setup/QueryWizardExpr.h"
#include "setup/QueryWizardFields.h"

namespace td {

struct Tunedeck;

// The frame's "Songs" when the interface is "Explorer"; nullptr when the first read fails.
QWidget* createXploreSongs(AppState& state);

class XploreSongsWindow : public ExplorerWindow {
    Q_OBJECT
public:
    explicit XploreSongsWindow(AppState& state, QWidget* parent = nullptr);

    void addRecord() override;
    void copyRecord();
    void changeRecord() override;
    void deleteRecord() override;
    void searchSongs();
    void resetSearch();
    // The search as a filter text, applied (an unreadable one: message 36 and no search).
    void setSearch(const QString& filter);
    QString search() const { return search_; }

protected:
    void updateButtons() override;
    QList<QPushButton*> menuButtons() const override;

private:
    void callForm(int request);
    bool highlightedSong(Tunedeck* song) const;

    QString search_;
    QueryFieldList queryFields_;
    QList<QueryCondition> typedSearch_;
    bool searchAvailable_ = false;
    QPushButton* add_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* change_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* searchButton_ = nullptr;
    QPushButton* reset_ = nullptr;
    QPushButton* import_ = nullptr;
    QPushButton* export_ = nullptr;
    QPushButton* print_ = nullptr;
    QPushButton* close_ = nullptr;
};

} // namespace td
