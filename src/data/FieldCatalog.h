#pragma once
// The field catalogue: every table's fields, memos and keys described once, as data. Import, export,
// the query wizard, filters, explorer columns, list formats and the storage layer all read it.

#include <QList>
#include <QString>

namespace td {

enum class TableId {
    Tunedeck,
    Categories,
    Album,
    Media,
    PlaylistMaster,
    PlaylistDetails,
    Labels,
    Fonts,
    AddWizard,
    OldTunedeck,
    A_Songs,        // a second view of the song file with its own buffer, position and use count
};

inline constexpr int kTableCount = 11;
QList<TableId> allTables();         // the ten files' tables in declaration order, then A_Songs

enum class FieldType { String, Long, Byte, Decimal, Date, Time, Memo };

struct FieldDef {
    QString label;          // "MUS:Artist"
    QString name;           // "Artist": also the column name in the data file
    FieldType type = FieldType::String;
    int width = 0;          // characters of a String or Memo; declared size of a Decimal (6 or 2)
    QString picture;        // display format ("@s40", "@d17b", "@n3")

    bool isText() const { return type == FieldType::String || type == FieldType::Memo; }
    bool isMemo() const { return type == FieldType::Memo; }
    // Bytes the field takes in a record (memos none): text n, LONG 4, BYTE 1, DECIMAL as declared.
    int bytes() const;
    // Largest number of digits a Decimal holds (a packed decimal of n bytes holds 2n-1 digits).
    int digits() const;
};

struct KeyDef {
    QString label;          // "MUS:SongsByArtist"
    QString name;           // "SongsByArtist"
    QList<int> fields;      // indexes into TableDef::fields, in key order
    bool unique = false;
    bool optional = false;  // records whose leading key field is blank or zero are left out
    bool primary = false;
};

struct TableDef {
    TableId id = TableId::Tunedeck;
    QString label;          // "Tunedeck"; also the table name inside the data file
    QString prefix;         // "MUS"
    QString file;           // "tdpdata": the data file is <file>.db in the working directory
    int layoutVersion = 1;
    QList<FieldDef> fields; // fields in declaration order, then the memos
    QList<KeyDef> keys;     // declaration order

    int recordWidth() const;                    // sum of field bytes, memos not counted
    int fieldCount() const { return int(fields.size()); }
    int memoCount() const;
    // Index of a field by label ("MUS:Artist") or name ("Artist"), case-insensitive; -1 if none.
    int fieldIndex(const QString& labelOrName) const;
    // Index of a key by label ("MUS:KeyID") or name ("KeyID"), case-insensitive; -1 if none.
    int keyIndex(const QString& labelOrName) const;
    int primaryKey() const;                     // index of the primary key, -1 if none
    const FieldDef& field(int i) const { return fields.at(i); }
    const KeyDef& key(int i) const { return keys.at(i); }
};

const TableDef& tableDef(TableId id);

// Look-ups by label ("tunedeck", "A_Songs") and by prefix ("mus", "A_S"), case-insensitive.
const TableDef* tableByLabel(const QString& label);
const TableDef* tableByPrefix(const QString& prefix);

// The table and field a field label names ("MUS:Artist", "a_s:title"); false when unknown.
bool findField(const QString& fieldLabel, TableId* table, int* field);

} // namespace td
