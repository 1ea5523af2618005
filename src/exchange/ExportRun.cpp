#include "exchange/ExportRun.h"

#include "core/Picture.h"
#include "data/Database.h"
#include "data/StandardWarning.h"
#include "data/TableHandle.h"
#include "exchange/CsvText.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>

namespace td {

const QList<ExportField>& allExportFields()
{
    static const QList<ExportField> fields = {
        { QStringLiteral("MUS:Artist"), QStringLiteral("@s40") },
        { QStringLiteral("MUS:Title"), QStringLiteral("@s40") },
        { QStringLiteral("MUS:Album"), QStringLiteral("@s40") },
        { QStringLiteral("MUS:Media"), QStringLiteral("@s20") },
        { QStringLiteral("MUS:FileNumber"), QStringLiteral("@s20") },
        { QStringLiteral("MUS:ReleaseDate"), QStringLiteral("@d2") },
        { QStringLiteral("MUS:CategoryID"), QStringLiteral("@n-13") },
        { QStringLiteral("MUS:ChartNumber"), QStringLiteral("@n3") },
        { QStringLiteral("MUS:TrackNumber"), QStringLiteral("@n3") },
        { QStringLiteral("MUS:Side"), QStringLiteral("@s1") },
        { QStringLiteral("MUS:Time"), QStringLiteral("@t4") },
        { QStringLiteral("MUS:UserDefinedKeyField"), QStringLiteral("@s30") },
        { QStringLiteral("MUS:AdditionalInformation1"), QStringLiteral("@s80") },
        { QStringLiteral("MUS:AdditionalInformation2"), QStringLiteral("@s80") },
        { QStringLiteral("MUS:AdditionalInformation3"), QStringLiteral("@s80") },
        { QStringLiteral("MUS:BeatsPerMinute"), QStringLiteral("@n_4b") },
        { QStringLiteral("MUS:Style"), QStringLiteral("@s30") },
        { QStringLiteral("MUS:Recording"), QStringLiteral("@s255") },
        { QStringLiteral("MUS:Composer"), QStringLiteral("@s80") },
        { QStringLiteral("MUS:PerformanceNotes"), QStringLiteral("@s255") },
        { QStringLiteral("MUS:LastPlayed"), QStringLiteral("@d17-") },
        { QStringLiteral("MUS:Notes"), QStringLiteral("@s255") },
        { QStringLiteral("CAT:Category"), QStringLiteral("@s30") },
    };
    return fields;
}

namespace exportlist {

void add(QList<ExportField>& list, const QList<ExportField>& marked)
{
    for (const ExportField& m : marked) {
        bool present = false;
        for (const ExportField& f : std::as_const(list))
            present = present || f.name.compare(m.name, Qt::CaseInsensitive) == 0;
        if (!present)
            list << m;
    }
}

int shiftUp(QList<ExportField>& list, int row)
{
    if (row <= 0 || row >= list.size())
        return row;
    list.swapItemsAt(row, row - 1);
    return row - 1;
}

int shiftDown(QList<ExportField>& list, int row)
{
    if (row < 0 || row + 1 >= list.size())
        return row;
    list.swapItemsAt(row, row + 1);
    return row + 1;
}

} // namespace exportlist

struct ExportRun::Impl {
    explicit Impl(Database& db, bool needCategories)
        : songs(db, TableId::Tunedeck)
        , writer(db.messages())
    {
        if (needCategories)
            categories = std::make_unique<TableHandle>(db, TableId::Categories);
    }

    TableHandle songs;
    std::unique_ptr<TableHandle> categories;
    CsvWriter writer;
    QList<int> columns; // per export field: the song field, -1 for the category name
    QList<Picture> pictures; // per export field, parsed once
    QHash<qint64, QString> names; // category names met so far
    int key = -1;
    int categoryField = -1;
    Row last; // the last song written (the next page starts after it)
    qint64 lastPosition = 0;
    bool started = false;
    QList<PageRow> page;
    qsizetype pageAt = 0;
    bool pageWasLast = false;
};

ExportRun::ExportRun(Database& db, ExportOptions options)
    : db_(db)
    , options_(std::move(options))
{
}

ExportRun::~ExportRun() = default;

bool ExportRun::start()
{
    if (options_.fields.isEmpty())
        return false;
    bool needCategories = false;
    for (const ExportField& f : std::as_const(options_.fields))
        needCategories
            = needCategories || f.name.compare(QLatin1String("CAT:Category"), Qt::CaseInsensitive) == 0;
    d = std::make_unique<Impl>(db_, needCategories);
    const TableDef& def = d->songs.def();
    for (const ExportField& f : std::as_const(options_.fields)) {
        d->columns << def.fieldIndex(f.name); // -1: CAT:Category
        d->pictures << Picture(f.picture);
    }
    d->key = d->songs.key(QStringLiteral("MUS:SongsByArtist"));
    d->categoryField = def.fieldIndex(QStringLiteral("MUS:CategoryID"));

    if (!d->writer.create(options_.fileName)) {
        d.reset();
        stopped_ = true;
        return false;
    }
    if (options_.header) {
        d->writer.startLine();
        for (const ExportField& f : std::as_const(options_.fields))
            d->writer.addField(f.name, QStringLiteral("@s50"), true);
        if (!d->writer.addLine()) {
            writeFailed_ = true;
            stopped_ = true;
            discardFile();
            return false;
        }
    }
    total_ = d->songs.records();
    d->songs.quickScan(true);
    if (d->categories)
        d->categories->quickScan(true);
    return true;
}

int ExportRun::percent() const
{
    if (completed_)
        return 100;
    if (total_ <= 0)
        return 0;
    return int(qMin<qint64>(100, written_ * 100 / total_));
}

bool ExportRun::step(int count)
{
    if (!d || completed_ || stopped_)
        return false;
    QElapsedTimer clock;
    clock.start();
    for (int n = 0; n < count; ++n) {
        if (d->pageAt >= d->page.size()) {
            if (d->pageWasLast) {
                completed_ = true;
                return false;
            }
            PageRead read;
            read.key = d->key;
            if (d->started) {
                read.from = d->last;
                read.fromPosition = d->lastPosition;
                read.inclusive = false;
            }
            read.limit = 512;
            d->page.clear();
            d->pageAt = 0;
            if (d->songs.readPage(read, d->page) != 0) {
                db_.saveError();
                StandardWarning(db_, StdMsg::RecordRetrievalError, QStringLiteral("Tunedeck"));
                stopped_ = true;
                return false;
            }
            d->started = true;
            d->pageWasLast = d->page.size() < read.limit;
            if (d->page.isEmpty()) {
                completed_ = true;
                return false;
            }
        }
        const PageRow& song = d->page.at(d->pageAt++);
        d->writer.startLine();
        for (int i = 0; i < options_.fields.size(); ++i) {
            const int column = d->columns.at(i);
            if (column >= 0) {
                d->writer.addField(song.row.at(column), d->pictures.at(i));
                continue;
            }
            QString name;
            const qint64 id = song.row.at(d->categoryField).toLongLong();
            if (id != 0 && d->categories) {
                auto known = d->names.constFind(id);
                if (known != d->names.constEnd()) {
                    name = *known;
                } else {
                    TableHandle& cat = *d->categories;
                    cat.clear();
                    cat.setValue(QStringLiteral("CAT:CategoryID"), id);
                    const int rc = cat.get(cat.def().primaryKey());
                    if (rc == 0) {
                        name = cat.value(QStringLiteral("CAT:Category")).toString();
                    } else if (rc != RecordNotAvailable) {
                        db_.saveError();
                        StandardWarning(db_, StdMsg::RecordRetrievalError, QStringLiteral("Categories"));
                        stopped_ = true;
                        return false;
                    }
                    d->names.insert(id, name);
                }
            }
            d->writer.addField(name, d->pictures.at(i));
        }
        if (!d->writer.addLine()) {
            writeFailed_ = true;
            stopped_ = true;
            return false;
        }
        ++written_;
        d->last = song.row;
        d->lastPosition = song.position;
        if (isCancelled() || ((n & 255) == 255 && clock.elapsed() >= kSliceMs))
            break;
    }
    if (d->pageAt >= d->page.size() && d->pageWasLast) {
        completed_ = true;
        return false;
    }
    return !isCancelled();
}

void ExportRun::finish()
{
    if (!d)
        return;
    d->songs.quickScan(false);
    if (d->categories)
        d->categories->quickScan(false);
    // The lines count as exported once the file is closed with every one of them in it. After a
    // write that failed (its message shown once) the file is not flushed again: it is removed.
    if (writeFailed_ || !d->writer.close()) {
        writeFailed_ = true;
        stopped_ = true;
    }
    if (stopped_)
        completed_ = false;
    if (writeFailed_)
        discardFile();
    d.reset();
}

void ExportRun::discardFile()
{
    // Closed without writing what is still pending (that write already failed once).
    d.reset();
    const QFileInfo target(options_.fileName);
    if (target.isFile() && !target.isSymLink())
        QFile::remove(options_.fileName);
    written_ = 0;
}

} // namespace td
