#include "albums/AlbumBrowseLogic.h"

#include "common/GlobalSettings.h"
#include "core/IniFile.h"
#include "core/ListFormat.h"

namespace td {

namespace {

const std::array<AlbumTabInfo, kAlbumTabCount>& tabs()
{
    static const std::array<AlbumTabInfo, kAlbumTabCount> t = {{
        {QStringLiteral("Album"), QStringLiteral("ALB:KeyAlbum"), false},
        {QStringLiteral("Artist"), QStringLiteral("ALB:KeyArtist"), false},
        {QStringLiteral("File #"), QStringLiteral("ALB:KeyFileNumber"), false},
        {QStringLiteral("Category"), QStringLiteral("ALB:KeyCategory"), true},
        {QStringLiteral("Cat/Art"), QStringLiteral("ALB:KeyCategoryArtist"), true},
    }};
    return t;
}

// The slot of a limited tab's category; -1 for the other tabs.
int categorySlot(AlbumTab tab)
{
    return tab == AlbumTab::Category ? 0 : tab == AlbumTab::CategoryArtist ? 1 : -1;
}

} // namespace

const AlbumTabInfo& albumTabInfo(AlbumTab tab)
{
    return tabs().at(qBound(0, int(tab), kAlbumTabCount - 1));
}

QString albumListCaption(qint64 records)
{
    return QStringLiteral("Albums - %1 entries").arg(records);
}

QString albumListDesignedFormat()
{
    return QStringLiteral("80L(2)|M~Artist~@s40@"
                          "80L(2)|M~Album~@s40@"
                          "49L(2)|M~Media~@s20@"
                          "43L(2)|M~File Number~@s20@"
                          "49R(2)|M~Released~C(1)@d2@"
                          "128R(2)|M~XCCD~C(1)@s32@");
}

QString albumListFormat(const GlobalSettings& settings)
{
    return applyDateFormat(albumListDesignedFormat(), settings.DateFormat);
}

ColumnFormatKeys albumListFormatKeys()
{
    return ColumnFormatKeys{QStringLiteral("BrowseAlbums"), QStringLiteral(":1")};
}

QString selectAlbumDesignedFormat()
{
    return QStringLiteral("80L(2)|M~Album~@s30@"
                          "80L(2)|M~Artist~@s30@"
                          "43L(2)|M~File Number~@s10@"
                          "80L(2)|M~Media~@s20@"
                          "80R(2)|M~Release Date~C(0)@d2@");
}

QString selectAlbumFormat(const GlobalSettings& settings)
{
    return applyDateFormat(selectAlbumDesignedFormat(), settings.DateFormat);
}

ColumnFormatKeys selectAlbumFormatKeys()
{
    return ColumnFormatKeys{QStringLiteral("SelectAlbum"), QStringLiteral(":1")};
}

QString selectFileNumberDesignedFormat()
{
    return QStringLiteral("75L(2)|M~Artist~@s30@"
                          "75L(2)|M~Title~@s30@"
                          "76L(2)|M~Album~@s30@"
                          "74L(2)|M~Media~@s20@"
                          "48L(2)|M~File Number~@s10@"
                          "45R(2)|M~Release Date~C(0)@d2@"
                          "120L(2)|M~Category~L(0)@s30@");
}

QString selectFileNumberFormat(const GlobalSettings& settings)
{
    return applyDateFormat(selectFileNumberDesignedFormat(), settings.DateFormat);
}

ColumnFormatKeys selectFileNumberFormatKeys()
{
    return ColumnFormatKeys{QStringLiteral("SelectFileNumber"), QString()};
}

AlbumTab openingAlbumTab(const GlobalSettings& settings, const QString& settingsIni)
{
    if (!settings.SaveLastTab)
        return AlbumTab::Album;
    const int n = ini::readInt(settingsIni, QLatin1String(kSettingsSection), QStringLiteral("AlbumTabSettings"), 1);
    if (n < 1 || n > kAlbumTabCount)
        return AlbumTab::Album;
    return AlbumTab(n - 1);
}

bool saveAlbumTab(AlbumTab tab, const QString& settingsIni)
{
    return ini::writeString(settingsIni, QLatin1String(kSettingsSection), QStringLiteral("AlbumTabSettings"),
                            QString::number(int(tab) + 1));
}

AlbumBrowser::AlbumBrowser(Database& db)
    : db_(db)
    , categoriesUse_(db, TableId::Categories)
    , albums_(db)
    , list_(albums_)
{
}

qint64 AlbumBrowser::categoryId(AlbumTab tab) const
{
    const int slot = categorySlot(tab);
    return slot < 0 ? 0 : categoryIds_.at(slot);
}

QString AlbumBrowser::categoryName(AlbumTab tab) const
{
    const int slot = categorySlot(tab);
    return slot < 0 ? QString() : categoryNames_.at(slot);
}

void AlbumBrowser::setCategory(AlbumTab tab, qint64 id, const QString& name)
{
    const int slot = categorySlot(tab);
    if (slot < 0)
        return;
    categoryIds_[slot] = id;
    categoryNames_[slot] = name;
}

void AlbumBrowser::configure()
{
    const AlbumTabInfo& info = albumTabInfo(tab_);
    const int key = albums_.key(info.key);
    if (!info.byCategory) {
        list_.setOrder(key);
        list_.setCondition(QString());
        return;
    }
    const qint64 id = categoryId(tab_);
    if (id != 0) {
        // The name as the category file holds it now (it may have been renamed meanwhile).
        Table<Categories> c(db_);
        c.rec.CategoryID = id;
        if (c.get(c.key(QStringLiteral("CAT:KeyCategoryID"))) == 0)
            categoryNames_[categorySlot(tab_)] = c.rec.Category;
    }
    list_.setOrder(key, Row { QVariant(qlonglong(id)) });
    list_.setCondition(QStringLiteral("\"Album\".\"CategoryID\" = ?"), { QVariant(qlonglong(id)) });
}

int AlbumBrowser::showAgain(qint64 position, bool fromTop)
{
    const int place = qMax(0, list_.highlight());
    if (position != 0)
        return list_.showPosition(position, place);
    if (const PageRow* h = list_.highlighted(); h && !fromTop) {
        const PageRow kept = *h;
        return list_.rebuildAt(kept.row, kept.position, place);
    }
    return list_.first();
}

Album AlbumBrowser::newAlbum() const
{
    Album a;
    a.CategoryID = categoryId(tab_);
    return a;
}

bool AlbumBrowser::highlightedAlbum(Album* album)
{
    const qint64 pos = list_.highlightedPosition();
    if (pos == 0)
        return false;
    Table<Album> t(db_);
    if (t.fetch(pos) != 0)
        return false;
    *album = t.rec;
    return true;
}

qint64 AlbumBrowser::positionOf(qint32 albumId)
{
    if (albumId == 0)
        return 0;
    Table<Album> t(db_);
    t.rec.AlbumID = albumId;
    return t.get(t.key(QStringLiteral("ALB:KeyAlbumID"))) == 0 ? t.position() : 0;
}

SongTab fileNumberTab(int index)
{
    static const SongTab order[kFileNumberTabCount] = {SongTab::ByArtist, SongTab::ByTitle, SongTab::ByAlbum,
                                                       SongTab::ByMedia, SongTab::ByCategory, SongTab::ByChart};
    return order[qBound(0, index, kFileNumberTabCount - 1)];
}

void configureFileNumberList(SongBrowser& browser, int index)
{
    const SongTab tab = fileNumberTab(index);
    browser.setTab(tab);
    browser.setSearch(QString());
    if (tab != SongTab::ByMedia) {
        browser.configure();
        return;
    }
    // Here "By Media" is an order, not a range: every song, by media and file number.
    browser.list().setOrder(browser.songs().key(songTabInfo(tab).key));
    browser.list().setCondition(QString());
}

Row fileNumberLocatorValues(int index, const QString& text)
{
    if (songTabInfo(fileNumberTab(index)).numericLocator)
        return Row { QVariant(qlonglong(IniFile::leadingInt(text, 0))) };
    return Row { QVariant(text) };
}

} // namespace td
