#include "albums/DateToYear.h"

#include "core/DayTime.h"
#include "data/Database.h"

namespace td {

int releaseDateToYear(int value)
{
    if (value <= MaxYearOnly)
        return value;
    const int year = yearOfDay(value);
    return year > 0 ? year : value;
}

ConvertDateToYear::ConvertDateToYear(Database& db)
    : ConvertDateToYear(db, TableId::Tunedeck)
{
}

ConvertDateToYear::ConvertDateToYear(Database& db, TableId table)
    : HousekeepingRun(db,
        table == TableId::Album ? QStringLiteral("Converting Album Dates")
                                : QStringLiteral("Converting Song Dates"))
    , table_(table)
{
}

qint64 ConvertDateToYear::prepare()
{
    const TableDef& t = tableDef(table_);
    writeSql_
        = QStringLiteral("UPDATE %1 SET \"ReleaseDate\"=? WHERE rowid=?").arg(Database::sqlTable(table_));
    converted_ = 0;
    TableHandle counter(db(), table_);
    if (table_ == TableId::Album) {
        addPass({ table_, -1, QString(), QStringLiteral("Converting Album Dates"),
            { QStringLiteral("ReleaseDate") } });
    } else {
        const QString task = QStringLiteral("Converting Song Dates");
        addPass({ table_, t.keyIndex(QStringLiteral("KeyID")), QString(), task,
            { QStringLiteral("ReleaseDate") } });
        // Songs without a number are not in that key; they are converted all the same.
        addPass({ table_, -1, QStringLiteral("\"ID\"=0"), task, { QStringLiteral("ReleaseDate") } });
    }
    return counter.records();
}

HousekeepingRun::RowResult ConvertDateToYear::handleRow(int, const PageRow& row)
{
    const int value = row.row.at(0).toInt();
    const int year = releaseDateToYear(value);
    if (year == value)
        return RowResult::Done;
    const RowResult r = write(writeSql_, { year }, row.position);
    if (r == RowResult::Done)
        ++converted_;
    return r;
}

} // namespace td
