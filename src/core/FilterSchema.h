#pragma once
// The names a filter expression may use, made known by the procedure that opens a view: the
// fields of its tables (label such as "MUS:Artist", text or number, and the SQL expression that
// reads the field in the view's query) and named program values (such as "LOC:LowChart" or
// "CAT:CategoryID" holding the record chosen elsewhere). Names are found ignoring letter case;
// a field hides a named value of the same name.

#include "core/FilterFunctions.h"

#include <QString>
#include <QVariant>
#include <functional>
#include <vector>

namespace td {

using FilterKind = filter::Kind;

struct FilterField {
    QString label; // "MUS:Artist"
    FilterKind kind = FilterKind::Text;
    QString sqlExpr; // "\"Artist\"", or any SQL expression of the program's own making
    int id = 0; // passed to the field reader of FilterExpr::matches
};

struct FilterNamedValue {
    QString name; // "LOC:LowChart"
    FilterKind kind = FilterKind::Text;
    std::function<QVariant()> value; // read when the filter is evaluated or compiled to SQL
};

class FilterSchema {
public:
    // Returns the field's id: its number in the order of registration unless id >= 0 is given.
    int addField(const QString& label, FilterKind kind, const QString& sqlExpr, int id = -1);
    // A named value read once, now, or each time through a getter.
    void addValue(const QString& name, FilterKind kind, const QVariant& value);
    void addValue(const QString& name, FilterKind kind, std::function<QVariant()> getter);

    const FilterField* field(const QString& label) const;
    const FilterNamedValue* namedValue(const QString& name) const;
    const std::vector<FilterField>& fields() const { return fields_; }
    const std::vector<FilterNamedValue>& namedValues() const { return values_; }

private:
    std::vector<FilterField> fields_;
    std::vector<FilterNamedValue> values_;
};

} // namespace td
