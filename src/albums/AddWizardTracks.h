#pragma once
// The track rows of one add wizard: the AddWizard rows of its instance number, in AW:KeyInstance
// order (instance, side, track). Adding numbers a row after the highest track of its side; the four
// moves keep every row's track number in place and move the titles, times and artists between
// them, one move being one transaction: a failure undoes the whole move before its message.

#include "data/RecordServices.h"
#include "data/Records.h"
#include "data/TableHandle.h"

#include <QList>
#include <QString>

namespace td {

// The line break of the wizards' messages: a carriage return, with the line feed a message box
// needs to start a new line.
inline QString messageBreak()
{
    return QStringLiteral("\r\n");
}

struct WizardTrack {
    qint64 position = 0;
    AddWizard rec;
};

enum class TrackMove { Up, Top, Down, Bottom };

class AddWizardTracks {
public:
    AddWizardTracks(Database& db, qint64 instance);

    Database& database() const { return db_; }
    qint64 instance() const { return instance_; }
    Table<AddWizard>& table() { return table_; }

    // The SQL condition of this instance's rows ("Instance = ?" and its parameter).
    QString condition() const;
    QVariantList conditionParams() const;

    // Every row of this instance in key order. 0 or the storage error code.
    int rows(QList<WizardTrack>& out);
    // The highest track number of this instance with that side plus one, 1 when there is none;
    // past 99 the lowest number of the side still free. 0 or the storage error code.
    int nextTrack(const QString& side, qint64* track);

    // Adds a row with the next track number of its side, the other values from `values`: tried
    // three times, then the retry question (message 25); a table that cannot be read shows
    // message 35 naming "AddWizard". Done with the new row's position in *position.
    RecordResult addTrack(const AddWizard& values, qint64* position);
    // The row at `position` as stored; 0 or the storage error code.
    int read(qint64 position, AddWizard* rec);

    // Moves the row at `position` one up, to the top, one down or to the bottom. False (the
    // "Record swap error" message shown, every row as it was) when a read or write failed; true
    // also when there was nothing to move (the first row up, the last down).
    bool move(qint64 position, TrackMove direction);

    // The message of a failed move step.
    static QString swapErrorText(const QString& error, qint64 instance, qint64 track, const QString& step);

private:
    int neighbours(const WizardTrack& r, TrackMove direction, QList<WizardTrack>& out);
    int parkingTrack(qint64* park);

    Database& db_;
    qint64 instance_;
    Table<AddWizard> table_;
    int key_;
};

} // namespace td
