#include "albums/AddWizardTracks.h"

#include "core/Messages.h"
#include "core/TextField.h"
#include "data/StandardWarning.h"

#include <QSet>

namespace td {

namespace {

constexpr qint64 kHighestTrack = 99; // AW:Track holds two digits
constexpr int kPage = 128;

} // namespace

AddWizardTracks::AddWizardTracks(Database& db, qint64 instance)
    : db_(db)
    , instance_(instance)
    , table_(db)
    , key_(table_.key(QStringLiteral("AW:KeyInstance")))
{
}

QString AddWizardTracks::condition() const
{
    return QStringLiteral("Instance = ?");
}

QVariantList AddWizardTracks::conditionParams() const
{
    return { instance_ };
}

int AddWizardTracks::rows(QList<WizardTrack>& out)
{
    out.clear();
    PageRead read;
    read.key = key_;
    read.from = Row { instance_ };
    read.equalLeading = 1;
    read.limit = kPage;
    for (;;) {
        QList<PageRow> page;
        const int rc = table_.readPage(read, page);
        if (rc != 0)
            return rc;
        for (const PageRow& p : page)
            out.append({ p.position, recordFromRow<AddWizard>(p.row) });
        if (page.size() < kPage)
            return 0;
        read.from = keyValuesOf(table_.def(), key_, page.last().row);
        read.fromPosition = page.last().position;
        read.inclusive = false;
    }
}

int AddWizardTracks::nextTrack(const QString& side, qint64* track)
{
    // Read backwards from the highest possible track number of this side.
    PageRead read;
    read.key = key_;
    read.from = Row { instance_, side, kHighestTrack };
    read.forward = false;
    read.equalLeading = 2;
    read.limit = 1;
    QList<PageRow> page;
    const int rc = table_.readPage(read, page);
    if (rc != 0)
        return rc;
    *track = page.isEmpty() ? 1 : recordFromRow<AddWizard>(page.first().row).Track + 1;
    if (*track <= kHighestTrack)
        return 0;
    // Track 99 is taken: the lowest number of the side still free (0 last), so that another track
    // can still be added; with every number taken the add fails on the field's range.
    QList<WizardTrack> all;
    if (const int rc2 = rows(all); rc2 != 0)
        return rc2;
    QSet<qint64> used;
    for (const WizardTrack& t : std::as_const(all))
        if (clip(t.rec.Side) == clip(side))
            used.insert(t.rec.Track);
    for (qint64 n = 1; n <= kHighestTrack; ++n)
        if (!used.contains(n)) {
            *track = n;
            return 0;
        }
    if (!used.contains(0))
        *track = 0;
    return 0;
}

RecordResult AddWizardTracks::addTrack(const AddWizard& values, qint64* position)
{
    const RecordResult r = addNumbered(table_, [this, &values](TableHandle&) {
        qint64 track = 0;
        if (nextTrack(values.Side, &track) != 0) {
            db_.saveError(table_.lastError());
            StandardWarning(db_, StdMsg::RecordRetrievalError, tableDef(TableId::AddWizard).label);
            return false;
        }
        table_.rec = values;
        table_.rec.Instance = instance_;
        table_.rec.Track = track;
        return true;
    });
    if (r == RecordResult::Done && position)
        *position = table_.position();
    return r;
}

int AddWizardTracks::read(qint64 position, AddWizard* rec)
{
    const int rc = table_.fetch(position);
    if (rc == 0 && rec)
        *rec = table_.rec;
    return rc;
}

QString AddWizardTracks::swapErrorText(const QString& error, qint64 instance, qint64 track, const QString& step)
{
    return QStringLiteral("Record swap error: ") + messageBreak() + error + messageBreak() + QStringLiteral("AddWizard, AW:KeyInstance")
        + messageBreak() + QStringLiteral("Key Field AW:Instance = ") + QString::number(instance) + messageBreak()
        + QStringLiteral("Key Field AW:Track = ") + QString::number(track) + messageBreak() + QStringLiteral("Section = ")
        + step + messageBreak();
}

int AddWizardTracks::neighbours(const WizardTrack& r, TrackMove direction, QList<WizardTrack>& out)
{
    out.clear();
    const bool forward = direction == TrackMove::Down || direction == TrackMove::Bottom;
    const bool one = direction == TrackMove::Up || direction == TrackMove::Down;
    PageRead read;
    read.key = key_;
    read.from = keyValuesOf(table_.def(), key_, toRow(r.rec));
    read.fromPosition = r.position;
    read.forward = forward;
    read.inclusive = false;
    read.equalLeading = 1;
    read.limit = one ? 1 : kPage;
    for (;;) {
        QList<PageRow> page;
        const int rc = table_.readPage(read, page);
        if (rc != 0)
            return rc;
        for (const PageRow& p : page)
            out.append({ p.position, recordFromRow<AddWizard>(p.row) });
        if (one || page.size() < kPage)
            return 0;
        read.from = keyValuesOf(table_.def(), key_, page.last().row);
        read.fromPosition = page.last().position;
    }
}

// The number the moving row waits under: one above the highest of this instance, or, when that
// would not fit the field, the lowest number no row of this instance uses.
int AddWizardTracks::parkingTrack(qint64* park)
{
    QList<WizardTrack> all;
    const int rc = rows(all);
    if (rc != 0)
        return rc;
    qint64 highest = 0;
    for (const WizardTrack& t : all)
        highest = qMax(highest, t.rec.Track);
    if (highest < kHighestTrack) {
        *park = highest + 1;
        return 0;
    }
    for (qint64 n = 0; n <= kHighestTrack; ++n) {
        bool used = false;
        for (const WizardTrack& t : all)
            used = used || t.rec.Track == n;
        if (!used) {
            *park = n;
            return 0;
        }
    }
    table_.database().setLastError(StorageError::make(InvalidRecord, QStringLiteral("No Free Track Number")));
    return InvalidRecord;
}

bool AddWizardTracks::move(qint64 position, TrackMove direction)
{
    StorageError error;
    qint64 errorTrack = 0;
    QString section;
    auto failed = [&](int rc, const QString& step, qint64 track) {
        error = table_.lastError().code ? table_.lastError() : StorageError::make(rc);
        if (!error.code)
            error = db_.lastError();
        section = step;
        errorTrack = track;
        return false;
    };

    bool ok = true;
    {
        TransactionGuard transaction(db_);
        WizardTrack r { position, {} };
        QList<WizardTrack> others;
        qint64 park = 0;
        int rc = transaction.error();
        if (rc != 0)
            ok = failed(rc, QStringLiteral("Test Range"), 0);
        if (ok && (rc = read(position, &r.rec)) != 0)
            ok = failed(rc, QStringLiteral("Get Orig"), 0);
        if (ok && (rc = neighbours(r, direction, others)) != 0)
            ok = failed(rc, QStringLiteral("Test Range"), r.rec.Track);
        if (ok && others.isEmpty())
            return true; // the first row up, the last down: nothing changes
        if (ok && (rc = parkingTrack(&park)) != 0)
            ok = failed(rc, QStringLiteral("Test Range"), r.rec.Track);

        // The moving row waits under the parking number while the others shift into the number
        // vacated before them; it then takes the last number vacated.
        qint64 vacated = r.rec.Track;
        if (ok && (rc = table_.fetch(position)) != 0)
            ok = failed(rc, QStringLiteral("Get Orig"), vacated);
        if (ok) {
            table_.rec.Track = park;
            if ((rc = table_.put()) != 0)
                ok = failed(rc, QStringLiteral("Put Swap Out"), park);
        }
        for (int i = 0; ok && i < others.size(); ++i) {
            const WizardTrack& n = others.at(i);
            if ((rc = table_.fetch(n.position)) != 0) {
                ok = failed(rc, QStringLiteral("Test Range"), n.rec.Track);
                break;
            }
            const qint64 old = table_.rec.Track;
            table_.rec.Track = vacated;
            if ((rc = table_.put()) != 0) {
                ok = failed(rc, QStringLiteral("Put Swap"), vacated);
                break;
            }
            vacated = old;
        }
        if (ok && (rc = table_.fetch(position)) != 0)
            ok = failed(rc, QStringLiteral("Get Orig After"), park);
        if (ok) {
            table_.rec.Track = vacated;
            if ((rc = table_.put()) != 0)
                ok = failed(rc, QStringLiteral("Final Put"), vacated);
        }
        if (ok && (rc = transaction.commit()) != 0)
            ok = failed(rc, QStringLiteral("Final Put"), vacated);
        // Leaving the block rolls back whatever a failure left.
    }
    if (ok)
        return true;
    db_.messages().show(QStringLiteral("Error!"),
        swapErrorText(errorTextOf(error), instance_, errorTrack, section), Icon::Exclamation, Ok, Ok);
    return false;
}

} // namespace td
