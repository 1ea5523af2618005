#include "explorer/ui/XploreAlbums.h"

#include "albums/ui/AddWizard.h"
#include "albums/ui/UpdateAlbums.h"
#include "common/AppState.h"
#include "common/Request.h"
#include "data/Records.h"

#include <QPushButton>
#include <QTableView>

namespace td {

QWidget* createXploreAlbums(AppState& state)
{
    auto* w = new XploreAlbumsWindow(state);
    if (!w->isReadable()) {
        delete w;
        return nullptr;
    }
    return w;
}

XploreAlbumsWindow::XploreAlbumsWindow(AppState& state, QWidget* parent)
    : ExplorerWindow(state, ExplorerKind::Albums, parent)
{
    setWindowTitle(QStringLiteral("Albums"));
    add_ = button(QStringLiteral("&Add"), QStringLiteral("Add"));
    copy_ = button(QStringLiteral("Cop&y"), QStringLiteral("Copy"), QStringLiteral("Copy record"));
    change_ = button(QStringLiteral("&Change"), QStringLiteral("Change"));
    delete_ = button(QStringLiteral("&Delete"), QStringLiteral("Delete"));
    single_ = button(QStringLiteral("Single Artist Wi&zard"), QStringLiteral("SingleArtistWizard"));
    compilation_ = button(QStringLiteral("Compilation Wizard"), QStringLiteral("CompilationWizard"));
    close_ = button(QStringLiteral("Cl&ose"), QStringLiteral("Close"));
    build({add_, copy_, change_, delete_, single_, compilation_, close_, properties_});
    connect(add_, &QPushButton::clicked, this, &XploreAlbumsWindow::addRecord);
    connect(copy_, &QPushButton::clicked, this, &XploreAlbumsWindow::copyRecord);
    connect(change_, &QPushButton::clicked, this, &XploreAlbumsWindow::changeRecord);
    connect(delete_, &QPushButton::clicked, this, &XploreAlbumsWindow::deleteRecord);
    connect(single_, &QPushButton::clicked, this, [this]() {
        AddSingleArtist(state_, this, [this](Response) { rebuild(); });
    });
    connect(compilation_, &QPushButton::clicked, this, [this]() {
        AddCompilation(state_, this, [this](Response) { rebuild(); });
    });
    connect(close_, &QPushButton::clicked, this, &XploreAlbumsWindow::closeView);
    start();
}

void XploreAlbumsWindow::updateButtons()
{
    const bool any = list().rowCount() > 0;
    copy_->setEnabled(any);
    change_->setEnabled(any);
    delete_->setEnabled(any);
}

QList<QPushButton*> XploreAlbumsWindow::menuButtons() const
{
    return {copy_, single_, compilation_, properties_};
}

bool XploreAlbumsWindow::highlightedAlbum(Album* album)
{
    const qint64 pos = list().highlightedPosition();
    if (pos == 0)
        return false;
    Table<Album> t(state_.db);
    if (t.fetch(pos) != 0)
        return false;
    *album = t.rec;
    return true;
}

void XploreAlbumsWindow::callForm(int request)
{
    const Request r = Request(request);
    Album buffer;
    if (r != Request::Insert && !highlightedAlbum(&buffer))
        return;
    // A copy is an add of the highlighted album: the form makes the copy.
    const Request asked = r == Request::Select ? Request::Insert : r;
    UpdateAlbums(state_, asked, buffer, this, [this, r](Response answer, const Album& stored) {
        qint64 position = 0;
        if (answer == Response::Completed && r != Request::Delete && stored.AlbumID != 0) {
            Table<Album> t(state_.db);
            t.rec.AlbumID = stored.AlbumID;
            if (t.get(t.key(QStringLiteral("ALB:KeyAlbumID"))) == 0)
                position = t.position();
        }
        rebuild(position);
        view()->setFocus();
    });
}

void XploreAlbumsWindow::addRecord()
{
    callForm(int(Request::Insert));
}

void XploreAlbumsWindow::copyRecord()
{
    callForm(int(Request::Select));
}

void XploreAlbumsWindow::changeRecord()
{
    callForm(int(Request::Change));
}

void XploreAlbumsWindow::deleteRecord()
{
    callForm(int(Request::Delete));
}

} // namespace td
