#pragma once
// The saved queries of the query wizard, kept in the store file TDPQUERY in the working directory:
// a small JSON text holding, per query, its group ("SONGS"), name, description, expression and
// whether it is restricted (a restricted query may be used but never changed or deleted).
//
// Every change reads the file afresh first, so two windows saving queries do not undo each other,
// and replaces it atomically. A damaged store is never overwritten blindly: it is kept beside as
// "TDPQUERY.damaged" before a new store is written.

#include <QList>
#include <QString>
#include <optional>

namespace td {

struct SavedQuery {
    QString group;
    QString name;
    QString description;
    QString expression;
    bool restricted = false;
};

class QueryStore {
public:
    enum class Result {
        Ok,
        Damaged, // the file is not a store we can read (the list is empty meanwhile)
        WriteFailed,
        Restricted, // the query is restricted and may not be changed or deleted
        NotFound,
        NoName, // a query needs a name
    };

    explicit QueryStore(const QString& path);
    QString path() const { return path_; }

    // Reads the file. A missing file is an empty store.
    Result load();
    bool isDamaged() const { return damaged_; }

    // The queries of a group (letter case ignored), sorted by name.
    QList<SavedQuery> queries(const QString& group) const;
    std::optional<SavedQuery> find(const QString& group, const QString& name) const;

    // Adds the query, or replaces the one of that group and name (letter case ignored; the new
    // spelling is kept). Refuses to replace a restricted query.
    Result save(const SavedQuery& query);
    Result remove(const QString& group, const QString& name);

private:
    Result write();
    int indexOf(const QString& group, const QString& name) const;

    QString path_;
    QList<SavedQuery> queries_;
    bool damaged_ = false;
};

} // namespace td
