#pragma once
// What the import window shows and edits before the run: the import fields found in the file's
// first line, the 22 target fields of a song and which import field each target takes.
// No widgets here: the window shows these lists and calls these functions.

#include "exchange/CsvText.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace td {

// One field position of the file's lines.
struct ImportField {
    QString name; // "Field_" & position
    QString picture; // "@S1000", or "@N30.9" when the second line has it unquoted
    QString sample; // the field's text in the line shown
};

// "Alpha-num" for a text picture (second character S or s), "Numeric" for a number picture (N or
// n), otherwise the picture itself: the import list's "Picture" column.
QString importTypeText(const QString& picture);
// The same for the export's "Picture" display: "Alpha-numeric" / "Numeric" / the picture.
QString exportTypeText(const QString& picture);
// True when a picture is taken unchanged by the import (second character S, s, N or n).
bool pictureKeepsText(const QString& picture);

// The 22 song fields an import can fill, in the order the window lists them ("MUS:Artist" ...).
const QStringList& importTargets();

// The assignments of the targets: for each target (same order as importTargets()) the name of the
// import field it takes, blank when unassigned. Several targets may take the same import field.
struct ImportAssignment {
    QStringList field = QStringList(22, QString());

    bool any() const;
    void assign(int target, const QString& importField) { field[target] = importField; }
    void unassign(int target) { field[target].clear(); }
    // "=" when the target is assigned, else blank (the window's mark column).
    QString mark(int target) const { return field.at(target).isEmpty() ? QString() : QStringLiteral("="); }
    // The first target assigned to an import field, -1 if none (the window highlights the partner).
    int targetOf(const QString& importField) const;
};

// The first line's fields as import fields; the second line, when there is one, turns the picture
// of each unquoted field into "@N30.9". The reader is left on the first line again (its samples).
// False when no line can be read (the window closes).
bool buildImportFields(CsvReader& reader, QList<ImportField>& fields);

// Puts the texts of the reader's current line into the samples (fields missing from the line get
// a blank sample): "&Next" after reader.readLine().
void takeSamples(CsvReader& reader, QList<ImportField>& fields);

// "A&uto": every unassigned target takes the import field whose sample equals the target's name
// (letter case ignored, trailing blanks ignored). MUS:CategoryID takes a "CAT:Category" field when
// there is one: the import reads that target's text as a category name. Returns the number of
// targets assigned; the window then ticks "Strip &header record (field names)".
int autoAssign(const QList<ImportField>& fields, ImportAssignment& assignment);

// The window's texts.
namespace importtext {
inline const QString kWindowTitle = QStringLiteral("Assign fields for Import...");
inline const QString kNoFieldsCaption = QStringLiteral("No Fields Selected for Import!");
inline const QString kNoFieldsText = QStringLiteral("You must select one or more fields to import.");
inline const QString kProgressCaption = QStringLiteral("Importing Records");
inline const QString kStripHeader = QStringLiteral("Strip &header record (field names)");
inline const QString kLinkCaption = QStringLiteral("Import");
inline const QString kLinkQuestion
    = QStringLiteral("Number the imported songs and link them to their albums now?");
inline const QString kUnreadCaption = QStringLiteral("Values Not Imported");
inline const QString kPictureWindowTitle = QStringLiteral("Enter Picture...");
inline const QString kInvalidPictureCaption = QStringLiteral("Invalid Picture!");
inline const QString kInvalidPictureText = QStringLiteral("Pictures must begin with \"@\"");
} // namespace importtext

// The picture dialog's check: an accepted entry must begin with "@". Empty answer means "keep the
// old picture" for the callers.
bool pictureEntryValid(const QString& entry);

} // namespace td
