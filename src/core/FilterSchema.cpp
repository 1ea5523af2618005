#include "core/FilterSchema.h"

namespace td {

int FilterSchema::addField(const QString& label, FilterKind kind, const QString& sqlExpr, int id)
{
    if (id < 0)
        id = int(fields_.size());
    fields_.push_back({ label, kind, sqlExpr, id });
    return id;
}

void FilterSchema::addValue(const QString& name, FilterKind kind, const QVariant& value)
{
    values_.push_back({ name, kind, [value] { return value; } });
}

void FilterSchema::addValue(const QString& name, FilterKind kind, std::function<QVariant()> getter)
{
    values_.push_back({ name, kind, std::move(getter) });
}

const FilterField* FilterSchema::field(const QString& label) const
{
    for (const FilterField& f : fields_) {
        if (f.label.compare(label, Qt::CaseInsensitive) == 0)
            return &f;
    }
    return nullptr;
}

const FilterNamedValue* FilterSchema::namedValue(const QString& name) const
{
    // The latest registration wins, so a procedure can give a name a new meaning.
    for (auto it = values_.rbegin(); it != values_.rend(); ++it) {
        if (it->name.compare(name, Qt::CaseInsensitive) == 0)
            return &*it;
    }
    return nullptr;
}

} // namespace td
