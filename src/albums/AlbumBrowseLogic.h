#pragma once
// The logic of the album lists without their windows: the five orders of the album list (two of
// them limited to the category each remembers), the three of the album picker and the six of the
// file-number picker, the locator, the caption with the table's record count, "AlbumTabSettings"
// with "SaveLastTab", the designed column formats with their remembered keys, and the album buffer
// an add starts from.

#include "common/ColumnFormatStore.h"
#include "common/PagedList.h"
#include "data/TableHandle.h"
#include "songs/SongBrowseLogic.h"

#include <QString>
#include <array>

namespace td {

struct GlobalSettings;

enum class AlbumTab : int { Album, Artist, FileNumber, Category, CategoryArtist };
inline constexpr int kAlbumTabCount = 5;
// The album picker shows the first three orders.
inline constexpr int kSelectAlbumTabCount = 3;

struct AlbumTabInfo {
    QString title;              // "Album"
    QString key;                // "ALB:KeyAlbum"
    bool byCategory = false;    // limited to the category chosen on the tab
};

const AlbumTabInfo& albumTabInfo(AlbumTab tab);
// "Albums - 1234 entries".
QString albumListCaption(qint64 records);

// The designed column formats, and the same with the "DateFormat" setting applied to their date
// columns (what the lists open with and compare with "SRCFOriginal?Browse").
QString albumListDesignedFormat();
QString albumListFormat(const GlobalSettings& settings);
ColumnFormatKeys albumListFormatKeys();          // [BrowseAlbums] "SRCF?Browse:1"
QString selectAlbumDesignedFormat();
QString selectAlbumFormat(const GlobalSettings& settings);
ColumnFormatKeys selectAlbumFormatKeys();        // [SelectAlbum] "SRCF?Browse:1"
QString selectFileNumberDesignedFormat();
QString selectFileNumberFormat(const GlobalSettings& settings);
ColumnFormatKeys selectFileNumberFormatKeys();   // [SelectFileNumber] "SRCF?Browse"

// "AlbumTabSettings" of [Settings]: the tab to open with (the last one used when "SaveLastTab" is
// set, else "Album"), and written when the list closes. Stored as the tab's number counted from 1.
AlbumTab openingAlbumTab(const GlobalSettings& settings, const QString& settingsIni);
bool saveAlbumTab(AlbumTab tab, const QString& settingsIni);

class AlbumBrowser {
public:
    // Opens Categories and Album (use counts; a table that cannot be opened ends the program after
    // its message, as everywhere).
    explicit AlbumBrowser(Database& db);

    Database& database() const { return db_; }
    Table<Album>& albums() { return albums_; }
    PagedList& list() { return list_; }

    AlbumTab tab() const { return tab_; }
    void setTab(AlbumTab tab) { tab_ = tab; }
    // The category chosen on a limited tab (0: none yet) and its name as chosen.
    qint64 categoryId(AlbumTab tab) const;
    QString categoryName(AlbumTab tab) const;
    void setCategory(AlbumTab tab, qint64 id, const QString& name);

    // The key values a locator text stands for: the tab's first text field set to the text (after
    // the category on a limited tab), the fields after it at their lowest.
    static Row locatorValues(const QString& text) { return Row { QVariant(text) }; }

    // Gives the list the current order and range (on a limited tab the category's name is read
    // again); the list itself reads nothing here.
    void configure();
    // Shows the list again, as the window does after configure(): on the album stored at
    // `position` when given, else from the top when asked (fromTop), else with the highlighted
    // album kept at its place (or the nearest one). Returns 0 or the read's error.
    int showAgain(qint64 position = 0, bool fromTop = false);

    qint64 recordCount() { return albums_.records(); }
    QString caption() { return albumListCaption(recordCount()); }

    // The buffer an add starts from: blank, with the tab's category on a limited tab.
    Album newAlbum() const;
    // The highlighted album read afresh with its memos; false when the list is empty or the
    // album is gone.
    bool highlightedAlbum(Album* album);
    // The position of the album with this number; 0 when there is none.
    qint64 positionOf(qint32 albumId);

private:
    Database& db_;
    TableUse categoriesUse_;
    Table<Album> albums_;
    PagedList list_;
    AlbumTab tab_ = AlbumTab::Album;
    std::array<qint64, 2> categoryIds_ {};
    std::array<QString, 2> categoryNames_;
};

// --- the file-number picker: six orders over the songs ---------------------------------------------

inline constexpr int kFileNumberTabCount = 6;
// "By Artist", "By Title", "By Album", "By Media", "By Category" and "By Chart #": the song orders
// of those names.
SongTab fileNumberTab(int index);
// Gives the list the order of the picker's tab: every song of the order, but on "By Category" only
// those of the browser's category. Nothing is read.
void configureFileNumberList(SongBrowser& browser, int index);
// The locator's key values on the picker's tab (the first field of the key; a number on "By Chart #").
Row fileNumberLocatorValues(int index, const QString& text);

} // namespace td
