#pragma once
// The explorer view of the albums: the album list ordered by any column's header, with the album
// form and the two add-album wizards.

#include "explorer/ui/ExplorerWindow.h"

namespace td {

struct Album;

// The frame's "Albums" when the interface is "Explorer"; nullptr when the first read fails.
QWidget* createXploreAlbums(AppState& state);

class XploreAlbumsWindow : public ExplorerWindow {
    Q_OBJECT
public:
    explicit XploreAlbumsWindow(AppState& state, QWidget* parent = nullptr);

    void addRecord() override;
    void copyRecord();
    void changeRecord() override;
    void deleteRecord() override;

protected:
    void updateButtons() override;
    QList<QPushButton*> menuButtons() const override;

private:
    void callForm(int request);
    bool highlightedAlbum(Album* album);

    QPushButton* add_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* change_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* single_ = nullptr;
    QPushButton* compilation_ = nullptr;
    QPushButton* close_ = nullptr;
};

} // namespace td
