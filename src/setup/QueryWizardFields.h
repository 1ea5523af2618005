#pragma once
// The fields a query may test, handed to the query wizard by the list that searches. The hand-over
// is a text of records, each ended by the character 0xAB; a record holds eight fields, each ended
// by 0xA6: display label, the digit 0, field label, display format, stored length, kind (1 text,
// 2 number), entry mode (1 free entry, 3 choice from a list) and the choices ("|" between them).

#include "core/FilterSchema.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace td {

class Messages;

inline constexpr QChar kQueryFieldEnd = QChar(0xA6);
inline constexpr QChar kQueryRecordEnd = QChar(0xAB);

struct QueryField {
    QString title; // "Artist"
    int reserved = 0; // the digit 0 of the list text
    QString label; // "MUS:Artist"
    QString picture; // "@s40", "@d2", "@t4"
    int length = 0; // stored length
    int kind = 1; // 1 text, 2 number
    int entryMode = 1; // 1 free entry, 3 choice from the list
    QStringList choices;

    bool isNumber() const { return kind == 2; }
    bool isChoice() const { return entryMode == 3; }
    FilterKind filterKind() const { return isNumber() ? FilterKind::Number : FilterKind::Text; }
    // Number fields shown through a date or time picture: values are typed as dates and times.
    bool isDate() const;
    bool isTime() const;
};

struct QueryFieldList {
    QList<QueryField> fields;
    QString group; // set by InitQueryFields ("SONGS")
    bool initialized = false;

    bool isEmpty() const { return fields.isEmpty(); }
    // By field label, letter case ignored; null when the list has no such field.
    const QueryField* find(const QString& label) const;
    int indexOf(const QString& label) const;
};

// Error numbers of AddQueryFields.
enum QueryFieldsError : int {
    QueryFieldsOk = 0,
    QueryFieldsEmpty = 1, // no record at all
    QueryFieldsBadRecord = 2, // a record without its eight fields
    QueryFieldsNoLabel = 3, // a record without display label or field label
    QueryFieldsBadNumber = 4, // the digit 0, length, kind or entry mode not a valid number
    QueryFieldsNoChoices = 5, // a choice field without choices
    QueryFieldsDuplicate = 6, // the same field label twice
    QueryFieldsUnended = 7, // text after the last record's end
};

// Reads the list text and adds its fields to the list. Returns 0, or an error number above with
// the list left as it was.
int AddQueryFields(QueryFieldList& list, const QString& text);
// The query group under which saved queries of this list are kept ("SONGS").
void InitQueryFields(QueryFieldList& list, const QString& group);

// The list text for the given fields (the reverse of AddQueryFields).
QString queryFieldText(const QList<QueryField>& fields);

enum class SongQueryList {
    SongList, // the song list and the song explorer: Category and Media in front, 24 records
    DjList, // the DJ list: Category in front, 23 records
    PaperSaver, // the two paper-saver listings: the song table only, 22 records
};
QString songQueryFieldText(SongQueryList which);

// The field list of one search, taken over as the lists do: AddQueryFields, and on an error the
// message "An error has prevented the Query Wizard from initializing." titled "Query Wizard
// Error# " and the number (the list is then left empty: the caller goes on without search);
// InitQueryFields with the group. Returns the error number.
int prepareQueryFields(Messages& messages, QueryFieldList& list, const QString& text, const QString& group);

// A filter schema over the list's fields, for checking that an expression uses only them.
FilterSchema queryFieldSchema(const QueryFieldList& list);

} // namespace td
