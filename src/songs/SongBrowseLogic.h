#pragma once
// The logic of one song list (BrowseSongs) without its window: the eight tabs with their keys,
// ranges and locator fields, the search filter joined to the tab's condition, one locator text per
// order, the caption with the record count, the "By UDK" tab title, "SongTab" and "SaveLastTab", and
// the designed column format with its remembered keys.

#include "common/ColumnFormatStore.h"
#include "common/PagedList.h"
#include "core/FilterSchema.h"
#include "data/Statement.h"
#include "data/TableHandle.h"

#include <QString>
#include <array>
#include <memory>

namespace td {

struct GlobalSettings;

enum class SongTab : int { ByArtist, ByTitle, ByAlbum, ByMedia, ByCategory, ByChart, ByBpm, ByUdk };
inline constexpr int kSongTabCount = 8;

struct SongTabInfo {
    QString title;              // "By Artist"
    QString key;                // "MUS:SongsByArtist"
    QString locatorField;       // "MUS:Artist"
    bool numericLocator = false;
};

const SongTabInfo& songTabInfo(SongTab tab);
// "By " and the first 10 characters of "UDKPrompt" (trailing blanks removed) for "By UDK" when the
// setting is not blank; the designed title otherwise and for the other tabs.
QString songTabTitle(SongTab tab, const GlobalSettings& settings);
// "Songs - 1234 entries".
QString songListCaption(qint64 records);

// The designed column format of the list, and the same with the "DateFormat" setting applied to its
// date columns (what the list opens with and compares with "SRCFOriginal?Browse").
QString songListDesignedFormat();
QString songListFormat(const GlobalSettings& settings);
ColumnFormatKeys songListFormatKeys();     // [BrowseSongs] "SRCF?Browse", "SRCFOriginal?Browse"

// "SongTab" of [Settings]: the tab to open with (the last one used when "SaveLastTab" is set, else
// "By Artist"), and written when the list closes. Stored as the tab's number counted from 1.
SongTab openingSongTab(const GlobalSettings& settings, const QString& settingsIni);
bool saveSongTab(SongTab tab, const QString& settingsIni);

class SongBrowser {
public:
    // Opens Categories, Media and Tunedeck (use counts; a table that cannot be opened ends the
    // program after its message, as everywhere).
    SongBrowser(Database& db, const GlobalSettings& settings);

    Database& database() const { return db_; }
    Table<Tunedeck>& songs() { return songs_; }
    PagedList& list() { return list_; }
    const FilterSchema& filterSchema() const;

    SongTab tab() const { return tab_; }
    void setTab(SongTab tab) { tab_ = tab; }
    QString media() const { return media_; }
    void setMedia(const QString& media) { media_ = media; }
    qint64 categoryId() const { return categoryId_; }
    void setCategory(qint64 id) { categoryId_ = id; }
    QString search() const { return search_; }
    void setSearch(const QString& filterText) { search_ = filterText; }
    bool searchActive() const { return !search_.trimmed().isEmpty(); }

    // The locator text of the current order (each order keeps its own) and the key values it stands
    // for: the locator field set to the text, the fields after it at their lowest.
    QString locatorText() const { return locators_.at(int(tab_)); }
    void setLocatorText(const QString& text) { locators_[int(tab_)] = text.left(30); }
    Row locatorValues(const QString& text) const;

    // Gives the list the current order, range and search. Returns 0, or 36 when the search cannot
    // be read: the list then shows every song of the order, without range and search (the caller
    // shows message 36; the error text is the database's current error).
    int configure();
    // Shows every song of the order without range and search (after a read with them failed).
    void configureUnfiltered();

    qint64 recordCount() { return songs_.records(); }
    QString caption() { return songListCaption(recordCount()); }

    // Shows the list again after a change of tab, range, search or data, as the window does after
    // configure(): on the song stored at `position` when given, else from the top when asked
    // (fromTop), else with the highlighted song kept at its place (or the nearest one the view
    // keeps). Returns 0 or the read's error.
    int showAgain(qint64 position = 0, bool fromTop = false);

    // The name of a category by identifier (blank for none). Names are kept, for every song list
    // of the connection, while no category can have changed: nothing written through this
    // connection and no other connection's commit to the category file since they were read
    // (checked by refreshCategoryNames()).
    QString categoryName(qint64 id);
    void refreshCategoryNames();
    void forgetCategoryNames() { clearCategoryNames(); }

private:
    // Reads the names of these categories (blank for one that does not exist) into the cache;
    // false when the read fails.
    bool readCategoryNames(const QList<qint64>& ids);
    // Reads every category when there are few; false when there are many or the read fails.
    bool readAllCategoryNames();
    void clearCategoryNames();
    // The names read so far, shared by every song list of the connection.
    struct CategoryNames;
    CategoryNames& names();

    Database& db_;
    const GlobalSettings& settings_;
    TableUse categoriesUse_;
    TableUse mediaUse_;
    Table<Tunedeck> songs_;
    Table<Categories> categories_;
    PagedList list_;
    mutable std::unique_ptr<FilterSchema> schema_;
    SongTab tab_ = SongTab::ByArtist;
    QString media_;
    qint64 categoryId_ = 0;
    QString search_;
    std::array<QString, kSongTabCount> locators_;
    QString categoryFileVersionSql_;
    QString categoryBatchSql_;
    QString categoryAllSql_;
};

} // namespace td
