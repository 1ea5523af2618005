#pragma once
// How the text of an import field becomes the value of a song field. Nothing is guessed: a text
// that cannot be read for its target (a date that is no day, a time with 75 minutes, "nan", a
// number beyond the field's range, "12abc") gives no value, and the run stores the field empty and
// names it in its summary.
//
// A field's text is read through its picture once (a picture whose second character is S, s, N or
// n keeps the text). A number target then takes:
//  - the picture's value (a date picture's day, a time picture's time);
//  - else a plain number (rounded to a whole one), which is the stored value as an export with
//    number pictures writes it;
//  - else, for a date, a date written as the export writes it (@d2, then the short date @d17); for
//    a time, a time written as hh:mm:ss.
// A song time, however read, goes by the song form's rule: past two hours it was written as
// minutes and seconds ("2:07" is 2 minutes 7 seconds, "1:02:03" stays 1 hour 2 minutes 3 seconds).

#include "core/Picture.h"
#include "data/FieldCatalog.h"

#include <QString>
#include <QVariant>
#include <optional>

namespace td {

class ImportValueReader {
public:
    ImportValueReader();

    // The field's text read through its picture: the text itself for a picture that keeps text,
    // otherwise the picture's value (blank text reads as blank). Nothing when the picture cannot
    // read it.
    static std::optional<QVariant> throughPicture(const Picture& picture, bool keepsText, const QString& text);

    // A number target's value from what throughPicture() gave; `timePicture` says the value came
    // from a time picture. Nothing when it cannot be read or lies outside the field's range.
    std::optional<qint64> number(const FieldDef& target, const QVariant& value, bool timePicture) const;

private:
    Picture date_;
    Picture shortDate_;
    Picture time_;
};

} // namespace td
