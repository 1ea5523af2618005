#pragma once
// Release dates to plain years, when the date format becomes "Year Only": every full date (a value
// above 3000 whose year is above 0) becomes its year; values of 3000 and below, already years or no
// date, are left. Songs go in MUS:KeyID order (then the songs without a song number, which that key
// leaves out), albums in storage order. Only rows that change are written, so a second run changes
// nothing and a cancelled run is finished by running it again.

#include "albums/HousekeepingRun.h"

namespace td {

// The year a release date value becomes, or the value itself when it is left.
int releaseDateToYear(int value);

class ConvertDateToYear : public HousekeepingRun {
public:
    explicit ConvertDateToYear(Database& db);
    qint64 converted() const { return converted_; }

protected:
    qint64 prepare() override;
    RowResult handleRow(int pass, const PageRow& row) override;
    void sliceBegins() override { convertedAtSlice_ = converted_; }
    void sliceUndone() override { converted_ = convertedAtSlice_; }

    // The table whose ReleaseDate is converted and its progress line.
    ConvertDateToYear(Database& db, TableId table);

private:
    TableId table_;
    QString writeSql_;
    qint64 converted_ = 0;
    qint64 convertedAtSlice_ = 0;
};

class ConvertAlbumDateToYear : public ConvertDateToYear {
public:
    explicit ConvertAlbumDateToYear(Database& db)
        : ConvertDateToYear(db, TableId::Album)
    {
    }
};

} // namespace td
