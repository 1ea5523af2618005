#include "songs/SongBrowseLogic.h"

#include "core/IniFile.h"
#include "core/ListFormat.h"
#include "core/TextField.h"
#include "data/Errors.h"
#include "common/GlobalSettings.h"
#include "data/Schema.h"
#include "songs/SongFilter.h"

#include <sqlite3.h>

namespace td {

namespace {

const std::array<SongTabInfo, kSongTabCount>& tabs()
{
    static const std::array<SongTabInfo, kSongTabCount> t = {{
        {QStringLiteral("By Artist"), QStringLiteral("MUS:SongsByArtist"), QStringLiteral("MUS:Artist"), false},
        {QStringLiteral("By Title"), QStringLiteral("MUS:SongsByTitle"), QStringLiteral("MUS:Title"), false},
        {QStringLiteral("By Album"), QStringLiteral("MUS:SongsByAlbum"), QStringLiteral("MUS:Album"), false},
        {QStringLiteral("By Media"), QStringLiteral("MUS:SongsByMedia"), QStringLiteral("MUS:FileNumber"), false},
        {QStringLiteral("By Category"), QStringLiteral("MUS:SongsByCategory"), QStringLiteral("MUS:Artist"), false},
        {QStringLiteral("By Chart #"), QStringLiteral("MUS:SongsByChartNumber"), QStringLiteral("MUS:ChartNumber"), true},
        {QStringLiteral("By BPM"), QStringLiteral("MUS:KeyBeatsPerMinute"), QStringLiteral("MUS:BeatsPerMinute"), true},
        {QStringLiteral("By UDK"), QStringLiteral("MUS:SongsByUserDefinedKey"), QStringLiteral("MUS:UserDefinedKeyField"), false},
    }};
    return t;
}

QString clipRight(const QString& s)
{
    return clip(s);
}

} // namespace

const SongTabInfo& songTabInfo(SongTab tab)
{
    return tabs().at(qBound(0, int(tab), kSongTabCount - 1));
}

QString songTabTitle(SongTab tab, const GlobalSettings& settings)
{
    if (tab == SongTab::ByUdk && !settings.UDKPrompt.trimmed().isEmpty())
        return QStringLiteral("By ") + clipRight(settings.UDKPrompt.left(10));
    return songTabInfo(tab).title;
}

QString songListCaption(qint64 records)
{
    return QStringLiteral("Songs - %1 entries").arg(records);
}

QString songListDesignedFormat()
{
    return QStringLiteral("120L(2)|M~Artist~@s40@"
                          "120L(2)|M~Title~@s40@"
                          "120L(2)|M~Album~@s40@"
                          "60L(2)|M~Media~@s20@"
                          "60L(2)|M~File Number~@s20@"
                          "80L(2)|M~Category~@s30@"
                          "36R(2)|M~Time~C(0)@t4b@"
                          "48R(2)|M~Released~C(0)@d17b@"
                          "28R(2)|M~BPM~C(0)@n_4b@"
                          "80L(2)|M~User Defined Key Field~@s30@"
                          "48R(2)|M~Last Played~C(0)@d17-@"
                          "80L(2)|M~Style~@s30@");
}

QString songListFormat(const GlobalSettings& settings)
{
    return applyDateFormat(songListDesignedFormat(), settings.DateFormat);
}

ColumnFormatKeys songListFormatKeys()
{
    return ColumnFormatKeys{QStringLiteral("BrowseSongs"), QString()};
}

SongTab openingSongTab(const GlobalSettings& settings, const QString& settingsIni)
{
    if (!settings.SaveLastTab)
        return SongTab::ByArtist;
    const int n = ini::readInt(settingsIni, QLatin1String(kSettingsSection), QStringLiteral("SongTab"), 1);
    if (n < 1 || n > kSongTabCount)
        return SongTab::ByArtist;
    return SongTab(n - 1);
}

bool saveSongTab(SongTab tab, const QString& settingsIni)
{
    return ini::writeString(settingsIni, QLatin1String(kSettingsSection), QStringLiteral("SongTab"),
                            QString::number(int(tab) + 1));
}

SongBrowser::SongBrowser(Database& db, const GlobalSettings& settings)
    : db_(db)
    , settings_(settings)
    , categoriesUse_(db, TableId::Categories)
    , mediaUse_(db, TableId::Media)
    , songs_(db)
    , categories_(db)
    , list_(songs_)
{
}

const FilterSchema& SongBrowser::filterSchema() const
{
    // Built when a search first needs it: most lists are opened without one.
    if (!schema_)
        schema_ = std::make_unique<FilterSchema>(songFilterSchema([this]() { return categoryId_; }));
    return *schema_;
}

Row SongBrowser::locatorValues(const QString& text) const
{
    if (songTabInfo(tab_).numericLocator)
        return Row{QVariant(qlonglong(IniFile::leadingInt(text, 0)))};
    return Row{QVariant(text)};
}

int SongBrowser::configure()
{
    const SongTabInfo& info = songTabInfo(tab_);
    const int key = songs_.key(info.key);
    QString range;
    QVariantList params;
    Row fixed;
    if (tab_ == SongTab::ByMedia) {
        // The key's own comparison: letter case and trailing blanks ignored ("cd" shows "CD").
        range = QStringLiteral("\"Tunedeck\".\"Media\" = ?");
        params << QVariant(media_);
        fixed << QVariant(media_);
    } else if (tab_ == SongTab::ByCategory) {
        range = QStringLiteral("\"Tunedeck\".\"CategoryID\" = ?");
        params << QVariant(qlonglong(categoryId_));
        fixed << QVariant(qlonglong(categoryId_));
    }

    list_.setOrder(key, fixed);
    if (!searchActive()) {
        list_.setCondition(range, params);
        return 0;
    }
    // The field the order starts with, after the fixed range field: where a "Begins With" can use
    // the key.
    const KeyDef& k = songs_.def().key(key);
    const int lead = int(fixed.size());
    const QString orderedBy = lead < k.fields.size() ? songs_.def().field(k.fields.at(lead)).label : QString();
    const SongSearch s = compileSongSearch(search_, filterSchema(), orderedBy);
    if (!s.valid) {
        db_.setLastError(StorageError::make(InvalidRecord, s.error));
        configureUnfiltered();
        return InvalidDataFile;
    }
    KeyRange keys;
    if (!s.rangeLow.isEmpty())
        keys = KeyRange { QVariant(s.rangeLow), QVariant(s.rangeHigh) };
    if (range.isEmpty()) {
        list_.setCondition(s.sql, s.params, keys, true);
    } else {
        list_.setCondition(QLatin1Char('(') + range + QStringLiteral(") AND (") + s.sql + QLatin1Char(')'),
            params + s.params, keys, true);
    }
    return 0;
}

void SongBrowser::configureUnfiltered()
{
    const int key = songs_.key(songTabInfo(tab_).key);
    list_.setOrder(key);
    list_.setCondition(QString());
}

int SongBrowser::showAgain(qint64 position, bool fromTop)
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

struct SongBrowser::CategoryNames {
    QHash<qint64, QString> byId;
    quint64 changeCount = 0;
    qint64 dataVersion = -1;
    bool all = false;        // byId holds every category
    bool tooMany = false;    // too many to read whole
};

SongBrowser::CategoryNames& SongBrowser::names()
{
    return db_.sharedLookup<CategoryNames>("songs/categoryNames");
}

void SongBrowser::refreshCategoryNames()
{
    // data_version moves when another connection (another running copy, the sqlite3 tool)
    // commits to the category file; our own writes move the change count.
    if (categoryFileVersionSql_.isEmpty())
        categoryFileVersionSql_ = QStringLiteral("PRAGMA %1.data_version")
                                      .arg(schema::quoted(Database::schemaName(TableId::Categories)));
    qint64 version = -1;
    {
        CachedStatement st = db_.statementQuiet(categoryFileVersionSql_);
        if (st && sqlite3_step(st.get()) == SQLITE_ROW)
            version = sqlite3_column_int64(st.get(), 0);
    }
    const quint64 changes = db_.changeCount();
    CategoryNames& n = names();
    if (version < 0 || version != n.dataVersion || changes != n.changeCount)
        clearCategoryNames();
    n.dataVersion = version;
    n.changeCount = changes;
}

QString SongBrowser::categoryName(qint64 id)
{
    if (id == 0)
        return QString();
    CategoryNames& n = names();
    auto it = n.byId.constFind(id);
    if (it != n.byId.constEnd())
        return it.value();
    if (n.all)
        return QString();   // every category has been read: this one does not exist
    // A page shows a few dozen rows: the cache never grows past a few pages' worth.
    if (n.byId.size() > 512)
        clearCategoryNames();
    // The usual category file holds a few dozen names: read whole at once, it answers every page.
    if (!n.tooMany && readAllCategoryNames())
        return n.byId.value(id);
    // The names of every category on the page at once: one read instead of one per name.
    QList<qint64> wanted { id };
    const int field = songs_.def().fieldIndex(QStringLiteral("CategoryID"));
    for (const PageRow& r : list_.rows()) {
        const qint64 c = r.row.value(field).toLongLong();
        if (c != 0 && !wanted.contains(c) && !n.byId.contains(c))
            wanted << c;
    }
    if (!readCategoryNames(wanted)) {
        categories_.clear();
        categories_.rec.CategoryID = id;
        QString name;
        if (categories_.get(categories_.key(QStringLiteral("CAT:KeyCategoryID"))) == 0)
            name = categories_.rec.Category;
        n.byId.insert(id, name);
    }
    return n.byId.value(id);
}

void SongBrowser::clearCategoryNames()
{
    CategoryNames& n = names();
    n.byId.clear();
    n.all = false;
    n.tooMany = false;
}

bool SongBrowser::readAllCategoryNames()
{
    constexpr int kWhole = 256;
    if (categoryAllSql_.isEmpty()) {
        const TableDef& t = categories_.def();
        const int key = t.keyIndex(QStringLiteral("CAT:KeyCategoryID"));
        categoryAllSql_ = QStringLiteral("SELECT \"CategoryID\",\"Category\" FROM %1 WHERE %2 LIMIT %3")
                              .arg(Database::sqlTable(TableId::Categories), schema::keyCondition(t, key))
                              .arg(kWhole + 1);
    }
    CachedStatement st = db_.statementQuiet(categoryAllSql_);
    sqlite3_stmt* s = st.get();
    if (!s)
        return false;
    QHash<qint64, QString> found;
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s, 1));
        found.insert(sqlite3_column_int64(s, 0), QString::fromUtf8(p, p ? sqlite3_column_bytes(s, 1) : 0));
    }
    if (rc != SQLITE_DONE)
        return false;
    if (found.size() > kWhole) {
        names().tooMany = true;   // read by the page's names instead
        return false;
    }
    CategoryNames& n = names();
    n.byId = std::move(found);
    n.all = true;
    return true;
}

bool SongBrowser::readCategoryNames(const QList<qint64>& ids)
{
    constexpr int kBatch = 48;
    if (categoryBatchSql_.isEmpty()) {
        QStringList marks;
        for (int i = 0; i < kBatch; ++i)
            marks << QStringLiteral("?");
        const TableDef& t = categories_.def();
        const int key = t.keyIndex(QStringLiteral("CAT:KeyCategoryID"));
        categoryBatchSql_ = QStringLiteral("SELECT \"CategoryID\",\"Category\" FROM %1 WHERE %2 AND \"CategoryID\" IN (%3)")
                                .arg(Database::sqlTable(TableId::Categories), schema::keyCondition(t, key),
                                    marks.join(QLatin1Char(',')));
    }
    CachedStatement st = db_.statementQuiet(categoryBatchSql_);
    sqlite3_stmt* s = st.get();
    if (!s)
        return false;
    QHash<qint64, QString> found;
    for (int from = 0; from < ids.size(); from += kBatch) {
        for (int i = 0; i < kBatch; ++i) // the last one repeated
            sqlite3_bind_int64(s, i + 1, ids.at(qMin(from + i, int(ids.size()) - 1)));
        int rc;
        while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
            const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s, 1));
            found.insert(sqlite3_column_int64(s, 0), // the key is unique
                QString::fromUtf8(p, p ? sqlite3_column_bytes(s, 1) : 0));
        }
        sqlite3_reset(s);
        if (rc != SQLITE_DONE)
            return false;
    }
    CategoryNames& n = names();
    for (qint64 id : ids)
        n.byId.insert(id, found.value(id));
    return true;
}

} // namespace td
