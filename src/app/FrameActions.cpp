#include "app/FrameActions.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace td {

namespace {

struct Builder {
    FrameActionMap map;
    QObject* owner;

    QAction* add(QMenu* menu, FrameAction id, const QString& text, const QString& hint = {})
    {
        QAction* a = menu->addAction(text);
        a->setStatusTip(hint);
        a->setObjectName(QStringLiteral("action%1").arg(int(id)));
        map.insert(id, a);
        return a;
    }
};

} // namespace

FrameActionMap buildFrameMenu(QMenuBar* bar, QObject* owner)
{
    Builder b{{}, owner};
    using A = FrameAction;

    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    b.add(file, A::PrintSetup, QStringLiteral("&Print Setup ..."), QStringLiteral("Setup printer"));
    b.add(file, A::Preferences, QStringLiteral("Pre&ferences"), QStringLiteral("Options and settings"));
    file->addSeparator();
    b.add(file, A::Import, QStringLiteral("&Import"), QStringLiteral("Import from a comma-delimited file"));
    b.add(file, A::Export, QStringLiteral("&Export"), QStringLiteral("Export to a comma-delimited file"));
    file->addSeparator();
    b.add(file, A::CdPlayer, QStringLiteral("&CD Player"), QStringLiteral("Start the CD Player"));
    file->addSeparator();
    b.add(file, A::Exit, QStringLiteral("E&xit"), QStringLiteral("Exit this application"));

    QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
    b.add(edit, A::Cut, QStringLiteral("Cu&t"), QStringLiteral("Remove item to Windows Clipboard"))
        ->setShortcut(QKeySequence::Cut);
    b.add(edit, A::Copy, QStringLiteral("&Copy"), QStringLiteral("Copy item to Windows Clipboard"))
        ->setShortcut(QKeySequence::Copy);
    b.add(edit, A::Paste, QStringLiteral("&Paste"), QStringLiteral("Paste contents of Windows Clipboard"))
        ->setShortcut(QKeySequence::Paste);

    QMenu* browse = bar->addMenu(QStringLiteral("&Browse"));
    b.add(browse, A::BrowseAlbums, QStringLiteral("&Albums"), QStringLiteral("Browse Information by Album"));
    b.add(browse, A::BrowseSongs, QStringLiteral("&Songs"), QStringLiteral("Browse Tune Deck Database"));
    QMenu* wizards = browse->addMenu(QStringLiteral("&Wizards"));
    b.add(wizards, A::WizardCompilation, QStringLiteral("Add &Compilation"));
    b.add(wizards, A::WizardSingleArtist, QStringLiteral("Add &Single Artist Album"));
    b.add(wizards, A::WizardLabel, QStringLiteral("Add &Label"));
    b.add(browse, A::BrowseLabels, QStringLiteral("&Labels"));
    b.add(browse, A::BrowsePlaylists, QStringLiteral("&Play Lists"));
    b.add(browse, A::BrowseCategories, QStringLiteral("&Categories"));
    b.add(browse, A::BrowseMedia, QStringLiteral("&Media Formats"), QStringLiteral("Browse Media Formats"));

    QMenu* reports = bar->addMenu(QStringLiteral("&Reports"));
    QMenu* songs = reports->addMenu(QStringLiteral("&Songs"));
    songs->menuAction()->setStatusTip(QStringLiteral("Generate Song Report"));
    b.add(songs, A::ReportSongsByArtist, QStringLiteral("By &Artist"), QStringLiteral("Print ordered by Songs By Artist"));
    b.add(songs, A::ReportSongsByTitle, QStringLiteral("By &Title"), QStringLiteral("Print ordered by Songs By Title"));
    b.add(songs, A::ReportSongsByAlbum, QStringLiteral("By A&lbum"), QStringLiteral("Print ordered by Songs By Album"));
    b.add(songs, A::ReportSongsByMedia, QStringLiteral("By &Media"), QStringLiteral("Print ordered by Songs By Media"));
    b.add(songs, A::ReportSongsByCategory, QStringLiteral("By &Category"),
          QStringLiteral("Print ordered by Songs By Category"));
    b.add(songs, A::ReportSongsByBpm, QStringLiteral("By &BPM"), QStringLiteral("Songs by Beats Per Minute"));
    QMenu* albums = reports->addMenu(QStringLiteral("&Albums"));
    albums->menuAction()->setStatusTip(QStringLiteral("Generate Album Report"));
    b.add(albums, A::ReportAlbumsByArtist, QStringLiteral("By &Artist"), QStringLiteral("Print List of Albums by Artist"));
    b.add(albums, A::ReportAlbumsByAlbum, QStringLiteral("By A&lbum"), QStringLiteral("Print List of Albums"));
    b.add(albums, A::ReportAlbumsByFileNumber, QStringLiteral("By &File Number"),
          QStringLiteral("Print List of Albums by File Number"));
    b.add(albums, A::ReportCdBinderPages, QStringLiteral("CD &Binder Pages"), QStringLiteral("Print 4 per page CD listings"));
    // "Sa&vers": A belongs to "&Albums" of the same menu.
    QMenu* savers = reports->addMenu(QStringLiteral("Paper Sa&vers"));
    savers->menuAction()->setStatusTip(QStringLiteral("Reports Using Small Fonts"));
    b.add(savers, A::ReportPaperSaverArtist, QStringLiteral("By &Artist"));
    b.add(savers, A::ReportPaperSaverTitle, QStringLiteral("By &Title"));
    b.add(reports, A::ReportLabels, QStringLiteral("&Labels"), QStringLiteral("Design and Print CD and Cassette Labels"));
    b.add(reports, A::ReportPlaylists, QStringLiteral("&Playlists"));
    b.add(reports, A::ReportDjLog, QStringLiteral("&DJ Log"), QStringLiteral("Log ordered by Artist and Title"));

    QMenu* window = bar->addMenu(QStringLiteral("&Window"));
    window->menuAction()->setStatusTip(QStringLiteral("Create and Arrange windows"));
    b.add(window, A::WindowTile, QStringLiteral("T&ile"), QStringLiteral("Make all open windows visible"));
    b.add(window, A::WindowCascade, QStringLiteral("&Cascade"), QStringLiteral("Stack all open windows"));
    b.add(window, A::WindowArrangeIcons, QStringLiteral("&Arrange Icons"), QStringLiteral("Align all window icons"));

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->menuAction()->setStatusTip(QStringLiteral("Windows Help"));
    b.add(help, A::HelpContents, QStringLiteral("&Contents"), QStringLiteral("View the contents of the help file"))
        ->setShortcut(QKeySequence::HelpContents);
    b.add(help, A::HelpSearch, QStringLiteral("&Search for Help On..."), QStringLiteral("Search for help on a subject"));
    b.add(help, A::HelpHowTo, QStringLiteral("&How to Use Help"), QStringLiteral("How to use Windows Help"));
    help->addSeparator();
    b.add(help, A::HelpAbout, QStringLiteral("&About"), QStringLiteral("Help About This Program"));
    return b.map;
}

} // namespace td
