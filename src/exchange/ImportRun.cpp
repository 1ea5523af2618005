#include "exchange/ImportRun.h"

#include "core/Picture.h"
#include "data/Database.h"
#include "data/RecordServices.h"
#include "data/StandardWarning.h"
#include "data/TableHandle.h"

#include <QLocale>
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

// A number read from the start of a text ("12abc" is 12), 0 when it starts with none.
double leadingNumber(const QString& text)
{
    const QString t = text.trimmed();
    bool ok = false;
    const double whole = QLocale::c().toDouble(t, &ok);
    if (ok)
        return whole;
    qsizetype n = 0;
    if (n < t.size() && (t.at(n) == QLatin1Char('-') || t.at(n) == QLatin1Char('+')))
        ++n;
    while (n < t.size() && (t.at(n).isDigit() || t.at(n) == QLatin1Char('.')))
        ++n;
    const double part = QLocale::c().toDouble(t.left(n), &ok);
    return ok ? part : 0;
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
    QHash<QString, qint64> categoryIds; // by folded name, filled as names are met
    // How the export writes dates and times: a date or time target reads them back.
    const Picture datePicture { QStringLiteral("@d2") };
    const Picture shortDatePicture { QStringLiteral("@d17") };
    const Picture timePicture { QStringLiteral("@t4") };
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
    // Both tables are opened before any transaction begins (a file cannot join one later).
    d = std::make_unique<Impl>(db_);
    const TableDef& def = d->songs.def();
    for (const FieldDef& f : def.fields)
        d->blank << (f.isText() ? QVariant(QString()) : QVariant(0));
    d->mediaField = def.fieldIndex(QStringLiteral("MUS:Media"));
    d->categoryNameField = d->categories.def().fieldIndex(QStringLiteral("CAT:Category"));

    d->sources.resize(options_.fields.size());
    for (int i = 0; i < options_.fields.size(); ++i) {
        d->sources[i].picture = Picture(options_.fields.at(i).picture);
        d->sources[i].keepsText = pictureKeepsText(options_.fields.at(i).picture);
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
    // Messages wait until the slice is committed: no transaction stays open while one is read.
    reader_.setDeferErrors(true);
    struct Undefer {
        CsvReader& r;
        ~Undefer() { r.setDeferErrors(false); }
    } undefer { reader_ };
    QElapsedTimer clock;
    clock.start();
    StorageError addError;
    bool addFailed = false;
    qint64 addedHere = 0; // counted once the slice is committed
    qint64 categoriesHere = 0;
    QString text;
    for (int n = 0; n < count && haveLine_; ++n) {
        // Every line starts from a blank song: a field missing from a short line leaves its
        // targets blank.
        Row& row = d->songs.row();
        row = d->blank;
        std::optional<TransactionGuard> lineLevel; // opened before a category is added
        QStringList namesAdded;
        for (int i = 0; i <= d->lastSource && i < d->sources.size(); ++i) {
            if (reader_.nextField() == CsvField::None)
                break;
            const Impl::Source& src = d->sources.at(i);
            if (src.targets.isEmpty())
                continue;
            QVariant value = reader_.text();
            if (!src.keepsText) {
                const Picture::Input in = src.picture.isDate() ? parseDateValue(src.picture, reader_.text())
                                                               : src.picture.parse(reader_.text());
                value = in.ok ? in.value : QVariant(0);
            }
            for (const Impl::Target& t : src.targets) {
                if (t.category) {
                    const QString name = trimmedRight(value.toString()).left(30);
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
                    row[t.field] = value.toString();
                    break;
                default: {
                    if (value.typeId() != QMetaType::QString) {
                        row[t.field] = qint64(qRound64(value.toDouble()));
                        break;
                    }
                    // A plain number; else a date or time as the export writes them.
                    const QString s = value.toString().trimmed();
                    bool plain = false;
                    const double v = QLocale::c().toDouble(s, &plain);
                    if (plain || s.isEmpty()) {
                        row[t.field] = qint64(qRound64(v));
                        break;
                    }
                    Picture::Input in;
                    if (t.type == FieldType::Date) {
                        in = parseDateValue(d->datePicture, s);
                        if (!in.ok)
                            in = parseDateValue(d->shortDatePicture, s);
                    } else if (t.type == FieldType::Time) {
                        in = d->timePicture.parse(s);
                    }
                    row[t.field] = in.ok ? in.value.toLongLong() : qint64(qRound64(leadingNumber(s)));
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
            if (d->songs.add() != 0) {
                addError = db_.lastError();
                addFailed = true;
            }
        }
        if (addFailed) {
            if (lineLevel)
                lineLevel->rollback();
            for (const QString& f : std::as_const(namesAdded))
                d->categoryIds.remove(f);
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

void ImportRun::finish()
{
    if (d) {
        db_.bulkHint(TableId::Tunedeck, false);
        d.reset();
    }
    reader_.close();
}

} // namespace td
