#include "exchange/ImportRun.h"

#include "albums/AlbumMatch.h"
#include "core/Picture.h"
#include "core/TextField.h"
#include "data/Database.h"
#include "data/RecordServices.h"
#include "data/StandardWarning.h"
#include "data/TableHandle.h"
#include "exchange/ImportValue.h"

#include <sqlite3.h>

#include <limits>
#include <optional>

namespace td {

namespace {

QString trimmedRight(const QString& s)
{
    qsizetype n = s.size();
    while (n > 0 && s.at(n - 1) == QLatin1Char(' '))
        --n;
    return s.left(n);
}

} // namespace

struct ImportRun::Impl {
    // One target with the import field it takes.
    struct Target {
        int field = -1; // in the song row
        FieldType type = FieldType::String;
        QString label;
        bool category = false;
    };
    // What each import field position feeds.
    struct Source {
        QList<Target> targets;
        Picture picture;
        bool keepsText = true;
        bool timePicture = false;
        QString name; // "Field_3"
    };

    Impl(Database& db)
        : songs(db, TableId::Tunedeck)
        , categories(db, TableId::Categories)
    {
    }

    TableHandle songs;
    TableHandle categories;
    QList<Source> sources; // by import field position
    int lastSource = -1; // the last position that feeds a target
    Row blank;
    int mediaField = -1;
    int categoryNameField = -1; // CAT:Category in the category row
    QHash<QString, qint64> categoryIds; // by folded name, for the slice in progress
    ImportValueReader values;

    // Numbering and linking (with `link`).
    std::unique_ptr<TableUse> albumUse;
    std::unique_ptr<AlbumMatch> albums;
    int idField = -1;
    int albumIdField = -1;
    int artistField = -1;
    int albumField = -1;
    QHash<QPair<QString, QString>, qint32> albumIds; // by exact title and artist, for the slice
    qint64 nextId = 0; // the next number to try
    qint64 highestAtSlice = 0; // numbers above it were free when the slice began (and stay so)
    QString usedSql;

    // The first free song number from nextId on; 0 with the error recorded.
    qint32 freeNumber(Database& db)
    {
        for (;; ++nextId) {
            if (nextId > std::numeric_limits<qint32>::max()) {
                db.setLastError(StorageError::make(InvalidRecord, QStringLiteral("Invalid Value For MUS:ID")));
                return 0;
            }
            if (nextId > highestAtSlice) // the slice holds the write lock: nobody numbers meanwhile
                return qint32(nextId++);
            CachedStatement st = db.statement(usedSql);
            if (!st)
                return 0;
            sqlite3_bind_int64(st.get(), 1, nextId);
            const int rc = sqlite3_step(st.get());
            if (rc == SQLITE_DONE)
                return qint32(nextId++);
            if (rc != SQLITE_ROW) {
                db.setLastSqliteError(rc);
                return 0;
            }
        }
    }
};

ImportRun::ImportRun(Database& db, CsvReader& reader, ImportOptions options)
    : db_(db)
    , reader_(reader)
    , options_(std::move(options))
{
}

ImportRun::~ImportRun() = default;

QString ImportRun::expandMedia(const QString& media)
{
    const QString m = trimmedRight(media);
    if (m == QLatin1String("D"))
        return QStringLiteral("Cassette (DBX)");
    if (m == QLatin1String("C"))
        return QStringLiteral("Cassette (Dolby-C)");
    if (m == QLatin1String("B"))
        return QStringLiteral("Cassette (Dolby-B)");
    return media;
}

bool ImportRun::start()
{
    if (!reader_.isOpen() || !options_.assignment.any()) {
        reader_.close();
        return false;
    }
    // Every table is opened before any transaction begins (a file cannot join one later).
    d = std::make_unique<Impl>(db_);
    const TableDef& def = d->songs.def();
    for (const FieldDef& f : def.fields)
        d->blank << (f.isText() ? QVariant(QString()) : QVariant(0));
    d->mediaField = def.fieldIndex(QStringLiteral("MUS:Media"));
    d->categoryNameField = d->categories.def().fieldIndex(QStringLiteral("CAT:Category"));

    d->sources.resize(options_.fields.size());
    for (int i = 0; i < options_.fields.size(); ++i) {
        Impl::Source& src = d->sources[i];
        src.picture = Picture(options_.fields.at(i).picture);
        src.keepsText = pictureKeepsText(options_.fields.at(i).picture);
        src.timePicture = !src.keepsText && src.picture.isTime();
        src.name = options_.fields.at(i).name;
    }
    const QStringList& targets = importTargets();
    for (int t = 0; t < targets.size(); ++t) {
        const QString& from = options_.assignment.field.at(t);
        if (from.isEmpty())
            continue;
        int source = -1;
        for (int i = 0; i < options_.fields.size(); ++i)
            if (options_.fields.at(i).name == from)
                source = i;
        if (source < 0)
            continue;
        Impl::Target target;
        target.field = def.fieldIndex(targets.at(t));
        target.type = def.field(target.field).type;
        target.label = targets.at(t);
        target.category = targets.at(t) == QLatin1String("MUS:CategoryID");
        d->sources[source].targets << target;
        d->lastSource = qMax(d->lastSource, source);
    }
    if (d->lastSource < 0) {
        reader_.close();
        d.reset();
        return false;
    }
    if (options_.link) {
        d->albumUse = std::make_unique<TableUse>(db_, TableId::Album);
        if (!d->albumUse->ok()) { // the program is ending after its message
            stopped_ = true;
            reader_.close();
            d.reset();
            return false;
        }
        d->albums = std::make_unique<AlbumMatch>(db_);
        d->idField = def.fieldIndex(QStringLiteral("MUS:ID"));
        d->albumIdField = def.fieldIndex(QStringLiteral("MUS:AlbumID"));
        d->artistField = def.fieldIndex(QStringLiteral("MUS:Artist"));
        d->albumField = def.fieldIndex(QStringLiteral("MUS:Album"));
        d->usedSql = QStringLiteral("SELECT 1 FROM %1 WHERE \"ID\"<>0 AND \"ID\"=? LIMIT 1")
                         .arg(Database::sqlTable(TableId::Tunedeck));
        // As the link test numbers: from the highest number found now, plus two.
        const qint64 highest = nextNumber(db_, TableId::Tunedeck) - 1;
        if (highest < 0) {
            db_.saveError();
            StandardWarning(db_, StdMsg::RecordRetrievalError, QStringLiteral("Tunedeck"));
            stopped_ = true;
            reader_.close();
            d.reset();
            return false;
        }
        d->nextId = highest + 2;
    }

    reader_.rewind();
    if (options_.stripHeader)
        bytesRead_ += reader_.readLine();
    const qint64 first = reader_.readLine();
    bytesRead_ += first;
    haveLine_ = first > 0;
    if (!haveLine_) {
        completed_ = !reader_.failed();
        stopped_ = reader_.failed();
        reader_.close();
        d.reset();
        return false;
    }
    db_.bulkHint(TableId::Tunedeck, true);
    return true;
}

int ImportRun::percent() const
{
    if (completed_)
        return 100;
    const qint64 size = qMax<qint64>(1, reader_.size());
    return int(qMin<qint64>(100, bytesRead_ * 100 / size));
}

bool ImportRun::step(int count)
{
    if (!d || !haveLine_)
        return false;
    TransactionGuard tx(db_);
    if (!tx.ok()) {
        db_.saveError();
        StandardWarning(
            db_, StdMsg::TransactionFramingError, QStringLiteral("Update"), QStringLiteral("Tunedeck"));
        stopped_ = true;
        return false;
    }
    // What was learnt in earlier slices may have changed meanwhile (another copy of the program
    // deleting a category or an album, or numbering songs): found again in this one.
    d->categoryIds.clear();
    StorageError addError;
    bool addFailed = false;
    qint64 addedHere = 0; // counted once the slice is committed
    qint64 categoriesHere = 0;
    if (d->albums) {
        d->albums->forget();
        d->albumIds.clear();
        d->highestAtSlice = nextNumber(db_, TableId::Tunedeck) - 1;
        if (d->highestAtSlice < 0) {
            addError = db_.lastError();
            addFailed = true;
        }
    }
    // Messages wait until the slice is committed: no transaction stays open while one is read.
    reader_.setDeferErrors(true);
    struct Undefer {
        CsvReader& r;
        ~Undefer() { r.setDeferErrors(false); }
    } undefer { reader_ };
    QElapsedTimer clock;
    clock.start();
    for (int n = 0; n < count && haveLine_ && !addFailed; ++n) {
        // Every line starts from a blank song: a field missing from a short line leaves its
        // targets blank.
        Row& row = d->songs.row();
        row = d->blank;
        std::optional<TransactionGuard> lineLevel; // opened before a category is added
        QStringList namesAdded;
        const qsizetype unreadListed = firstUnread_.size();
        const qint64 unreadCounted = unreadCount_;
        auto unread = [&](const Impl::Source& src, const QString& targets) {
            if (unreadCount_++ < kUnreadListed)
                firstUnread_ << Unread { reader_.lineNumber(), src.name, targets, reader_.text() };
        };
        for (int i = 0; i <= d->lastSource && i < d->sources.size(); ++i) {
            if (reader_.nextField() == CsvField::None)
                break;
            const Impl::Source& src = d->sources.at(i);
            if (src.targets.isEmpty())
                continue;
            const std::optional<QVariant> value
                = ImportValueReader::throughPicture(src.picture, src.keepsText, reader_.text());
            if (!value) { // every target of the field stays empty
                QStringList labels;
                for (const Impl::Target& t : src.targets)
                    labels << t.label;
                unread(src, labels.join(QLatin1String(", ")));
                continue;
            }
            bool counted = false;
            for (const Impl::Target& t : src.targets) {
                if (t.category) {
                    const QString name = trimmedRight(value->toString()).left(30);
                    if (name.trimmed().isEmpty()) {
                        row[t.field] = 0;
                        continue;
                    }
                    const QString folded = name.toCaseFolded();
                    auto known = d->categoryIds.constFind(folded);
                    qint64 id = 0;
                    if (known != d->categoryIds.constEnd()) {
                        id = *known;
                    } else {
                        d->categories.clear();
                        d->categories.setValue(d->categoryNameField, name);
                        const int rc
                            = d->categories.get(d->categories.key(QStringLiteral("CAT:KeyCategory")));
                        if (rc == 0) {
                            id = d->categories.value(QStringLiteral("CAT:CategoryID")).toLongLong();
                        } else if (rc == RecordNotAvailable) {
                            if (!lineLevel)
                                lineLevel.emplace(db_);
                            id = nextNumber(db_, TableId::Categories);
                            d->categories.clear();
                            d->categories.setValue(QStringLiteral("CAT:CategoryID"), id);
                            d->categories.setValue(d->categoryNameField, name);
                            if (id < 0 || d->categories.add() != 0) {
                                addError = db_.lastError();
                                addFailed = true;
                                break;
                            }
                            namesAdded << folded;
                        } else {
                            addError = db_.lastError();
                            addFailed = true;
                            break;
                        }
                        d->categoryIds.insert(folded, id);
                    }
                    row[t.field] = id;
                    continue;
                }
                switch (t.type) {
                case FieldType::String:
                case FieldType::Memo:
                    row[t.field] = value->toString();
                    break;
                default: {
                    const std::optional<qint64> v
                        = d->values.number(d->songs.def().field(t.field), *value, src.timePicture);
                    row[t.field] = v ? *v : 0;
                    if (!v && !counted) {
                        unread(src, t.label);
                        counted = true;
                    }
                    break;
                }
                }
            }
            if (addFailed)
                break;
        }
        if (reader_.failed()) { // a field too long: its message has been shown
            if (lineLevel)
                lineLevel->rollback();
            for (const QString& f : std::as_const(namesAdded))
                d->categoryIds.remove(f);
            stopped_ = true;
            haveLine_ = false;
            break;
        }
        if (!addFailed) {
            row[d->mediaField] = expandMedia(row.at(d->mediaField).toString());
            if (d->albums) {
                const qint32 id = d->freeNumber(db_);
                QPair<QString, QString> key { storeText(row.at(d->albumField).toString(), 40),
                    storeText(row.at(d->artistField).toString(), 40) };
                auto known = d->albumIds.constFind(key);
                qint32 albumId = 0;
                int rc = 0;
                if (known != d->albumIds.constEnd()) {
                    albumId = *known;
                } else {
                    rc = d->albums->byTitle(key.first, key.second, &albumId);
                    if (rc == RecordNotAvailable)
                        albumId = 0;
                    if (rc == 0 || rc == RecordNotAvailable)
                        d->albumIds.insert(key, albumId);
                }
                if (id == 0 || (rc != 0 && rc != RecordNotAvailable)) {
                    addError = db_.lastError();
                    addFailed = true;
                } else {
                    row[d->idField] = id;
                    row[d->albumIdField] = albumId;
                }
            }
        }
        if (!addFailed && d->songs.add() != 0) {
            addError = db_.lastError();
            addFailed = true;
        }
        if (addFailed) {
            if (lineLevel)
                lineLevel->rollback();
            for (const QString& f : std::as_const(namesAdded))
                d->categoryIds.remove(f);
            firstUnread_.resize(unreadListed); // the line is not stored: nothing of it to name
            unreadCount_ = unreadCounted;
            haveLine_ = false;
            break;
        }
        if (lineLevel) {
            lineLevel->commit();
            categoriesHere += namesAdded.size();
        }
        ++addedHere;
        const qint64 got = reader_.readLine();
        bytesRead_ += got;
        if (got == 0) {
            haveLine_ = false;
            if (reader_.failed())
                stopped_ = true;
            else
                completed_ = true;
        }
        if (isCancelled() || ((n & 255) == 255 && clock.elapsed() >= sliceMs_))
            break;
    }
    if (tx.commit() != 0) {
        db_.saveError();
        StandardWarning(db_, StdMsg::ProcessError, QStringLiteral("Put"), QStringLiteral("Tunedeck"));
        stopped_ = true;
        completed_ = false;
        haveLine_ = false;
        return false;
    }
    added_ += addedHere;
    categoriesAdded_ += categoriesHere;
    reader_.showDeferredError();
    if (addFailed) {
        const QString why = addError.code == EngineError ? addError.engineText
            : addError.text.isEmpty()                    ? errorCodeText(addError.code)
                                                         : addError.text;
        db_.messages().show(
            QStringLiteral("Cannot ADD to Tunedeck!"), csv::errorText(addError.code, why), Icon::Exclamation);
        stopped_ = true;
        return false;
    }
    return haveLine_ && !isCancelled();
}

Message ImportRun::unreadableSummary() const
{
    Message m;
    if (unreadCount_ == 0)
        return m;
    m.caption = importtext::kUnreadCaption;
    m.icon = Icon::Exclamation;
    m.text = unreadCount_ == 1 ? QStringLiteral("1 value could not be read and was stored empty:")
                               : QStringLiteral("%1 values could not be read and were stored empty:").arg(unreadCount_);
    for (const Unread& u : firstUnread_)
        m.text += QStringLiteral("|Line %1, %2 (%3): \"%4\"").arg(u.line).arg(u.field, u.target, u.text);
    if (unreadCount_ > firstUnread_.size())
        m.text += QStringLiteral("|and %1 more.").arg(unreadCount_ - firstUnread_.size());
    return m;
}

void ImportRun::finish()
{
    if (d) {
        db_.bulkHint(TableId::Tunedeck, false);
        d.reset();
    }
    reader_.close();
    if (unreadCount_ > 0)
        db_.messages().show(unreadableSummary());
}

} // namespace td
