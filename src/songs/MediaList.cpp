#include "songs/MediaList.h"

#include "core/TextField.h"
#include "data/Database.h"
#include "data/StandardWarning.h"
#include "data/TableHandle.h"

#include <algorithm>

namespace td {

bool loadMediaNames(Database& db, QStringList& out)
{
    out.clear();
    Table<Media> t(db);
    t.set(t.key(QStringLiteral("MED:KeyMedia")));
    for (;;) {
        const int err = t.next();
        if (err == RecordNotAvailable)
            break;
        if (err) {
            db.saveError(t.lastError());
            StandardWarning(db, StdMsg::RecordRetrievalError, QStringLiteral("Media"));
            out.clear();
            return false;
        }
        out << t.rec.Media;
    }
    std::stable_sort(
        out.begin(), out.end(), [](const QString& a, const QString& b) { return compareKeyText(a, b) < 0; });
    return true;
}

bool mediaExists(Database& db, const QString& name)
{
    if (clip(name).isEmpty())
        return false;
    Table<Media> t(db);
    t.rec.Media = name;
    return t.get(t.key(QStringLiteral("MED:KeyMedia"))) == 0;
}

int findMedia(const QStringList& names, const QString& name)
{
    const QString wanted = clip(name);
    for (int i = 0; i < names.size(); ++i)
        if (clip(names.at(i)) == wanted)
            return i;
    for (int i = 0; i < names.size(); ++i)
        if (sameKeyText(names.at(i), wanted))
            return i;
    return -1;
}

} // namespace td
