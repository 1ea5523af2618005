#include "albums/ui/UpdateAddWizard.h"

#include "albums/AddWizardTracks.h"
#include "common/ui/WidgetPosition.h"
#include "core/Messages.h"
#include "core/Picture.h"
#include "core/SongTime.h"
#include "core/TextField.h"
#include "data/StandardWarning.h"
#include "songs/SongForm.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QVBoxLayout>

namespace td {

namespace {

const char* const kTimePicture = "@t4b";

int widthOf(const char* field)
{
    const TableDef& t = tableDef(TableId::AddWizard);
    return t.field(t.fieldIndex(QString::fromLatin1(field))).width;
}

// Whether another row of the wizard has the track number (and side) the row would take.
bool takenTrack(Database& db, const AddWizard& row)
{
    Table<AddWizard> probe(db);
    probe.rec = row;
    return probe.get(probe.key(QStringLiteral("AW:KeyInstance"))) == 0;
}

} // namespace

UpdateAddWizardDialog::UpdateAddWizardDialog(AddWizardTracks& tracks, Request request, qint64 position,
    bool withArtist, AddWizard* lastSaved, QWidget* parent)
    : QDialog(parent)
    , tracks_(tracks)
    , request_(request)
    , position_(position)
    , withArtist_(withArtist)
    , lastSaved_(lastSaved)
{
    setObjectName(procedure());
    setWindowTitle(QStringLiteral("Tracks"));

    auto* form = new QFormLayout;
    if (withArtist_) {
        artist_ = new QLineEdit(this);
        artist_->setObjectName(QStringLiteral("Artist"));
        artist_->setMaxLength(widthOf("Artist"));
        form->addRow(QStringLiteral("&Artist:"), artist_);
    }
    title_ = new QLineEdit(this);
    title_->setObjectName(QStringLiteral("Title"));
    title_->setMaxLength(widthOf("Title"));
    time_ = new QLineEdit(this);
    time_->setObjectName(QStringLiteral("Time"));
    time_->setMaxLength(12);
    track_ = new QSpinBox(this);
    track_->setObjectName(QStringLiteral("Track"));
    track_->setRange(0, 99); // AW:Track holds two digits
    form->addRow(QStringLiteral("&Title:"), title_);
    form->addRow(QStringLiteral("T&ime:"), time_);
    form->addRow(QStringLiteral("Trac&k:"), track_);

    ok_ = new QPushButton(QStringLiteral("&Ok"), this);
    ok_->setObjectName(QStringLiteral("Ok"));
    ok_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("Cancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    const QFontMetrics fm(font());
    title_->setMinimumWidth(fm.averageCharWidth() * 36);
    connect(ok_, &QPushButton::clicked, this, &UpdateAddWizardDialog::okPressed);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    auto* recall = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_QuoteLeft), this);
    connect(recall, &QShortcut::activated, this, &UpdateAddWizardDialog::history);
}

QString UpdateAddWizardDialog::procedure() const
{
    return withArtist_ ? QStringLiteral("UpdateAddWizard") : QStringLiteral("UpdateAddWizardNoArtist");
}

bool UpdateAddWizardDialog::prepare()
{
    if (request_ == Request::Insert) {
        // The row is stored at once under the next number; a cancel removes it again.
        if (tracks_.addTrack(AddWizard(), &position_) != RecordResult::Done)
            return false;
        added_ = true;
    }
    Database& db = tracks_.database();
    if (const int rc = tracks_.read(position_, &row_); rc != 0) {
        db.saveError(tracks_.table().lastError());
        StandardWarning(db, StdMsg::RecordRetrievalError, tableDef(TableId::AddWizard).label);
        return false;
    }
    opening_ = row_;
    setWindowTitle(request_ == Request::Insert
            ? QStringLiteral("Track Will Be Added  (New)")
            : QStringLiteral("Track Will Be Changed  (%1)").arg(row_.Track));
    showRow();
    (artist_ ? artist_ : title_)->setFocus();
    return true;
}

void UpdateAddWizardDialog::showRow()
{
    if (artist_)
        artist_->setText(row_.Artist);
    title_->setText(row_.Title);
    time_->setText(Picture(QString::fromLatin1(kTimePicture)).format(row_.Time));
    time_->setModified(false);
    track_->setValue(int(row_.Track));
}

bool UpdateAddWizardDialog::store()
{
    if (artist_)
        row_.Artist = artist_->text();
    row_.Title = title_->text();
    row_.Track = track_->value();
    if (!time_->isModified())
        return true;
    const std::optional<int> t = songTimeFromText(time_->text(), QStringLiteral("@t4"));
    if (!t) {
        tracks_.database().messages().show(invalidTimeMessage(time_->text()));
        time_->setFocus();
        time_->selectAll();
        return false;
    }
    row_.Time = *t;
    return true;
}

void UpdateAddWizardDialog::history()
{
    if (!lastSaved_ || !store())
        return;
    if (artist_)
        row_.Artist = lastSaved_->Artist;
    row_.Title = lastSaved_->Title;
    row_.Time = lastSaved_->Time;
    row_.Track = lastSaved_->Track;
    showRow();
}

void UpdateAddWizardDialog::okPressed()
{
    if (!store())
        return;
    Database& db = tracks_.database();
    Table<AddWizard>& t = tracks_.table();
    for (;;) {
        int rc = t.fetch(position_);
        if (rc == 0) {
            const AddWizard stored = t.rec;
            t.rec = row_;
            t.rec.Instance = stored.Instance;
            t.rec.Side = stored.Side;
            if (request_ == Request::Insert) {
                rc = t.put();
            } else if (toRow(t.rec) == toRow(stored)) {
                rc = 0;
            } else if (t.rec.Track != stored.Track && takenTrack(db, t.rec)) {
                rc = DuplicateKey;
                t.rec = stored;
            } else {
                const RecordResult r = UpdateRecord(t, true);
                if (r == RecordResult::Done)
                    rc = 0;
                else if (r == RecordResult::ChangedElsewhere) {
                    fromRow(toRow(t.rec), row_);
                    showRow();
                    return;
                } else {
                    const int answer = StandardWarning(db, StdMsg::RecordUpdateRetry);
                    if (answer == Yes)
                        continue;
                    if (answer == No)
                        reject();
                    return;
                }
            }
        }
        if (rc != 0) {
            db.saveError(t.lastError());
            if (rc == DuplicateKey)
                StandardWarning(db, StdMsg::DuplicateKeyError, QStringLiteral("Track Order"));
            else
                StandardWarning(db, request_ == Request::Insert ? StdMsg::RecordInsertError : StdMsg::RecordRetrievalError,
                    tableDef(TableId::AddWizard).label);
            track_->setFocus();
            track_->selectAll();
            return;
        }
        break;
    }
    saved_ = true;
    if (lastSaved_)
        *lastSaved_ = row_;
    accept();
}

void UpdateAddWizardDialog::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!positioned_) {
        positioned_ = true;
        restorePosition(this, procedure());
    }
}

void UpdateAddWizardDialog::done(int r)
{
    if (!finished_) {
        finished_ = true;
        // Every way out but a save removes the row an add stored.
        if (added_ && !saved_ && tracks_.table().fetch(position_) == 0)
            DeleteRecord(tracks_.table());
        if (positioned_)
            savePosition(this, procedure());
    }
    QDialog::done(saved_ ? QDialog::Accepted : (r == QDialog::Accepted ? QDialog::Rejected : r));
}

} // namespace td
