#include "common/SliceTransaction.h"

#include "data/Database.h"
#include "data/StandardWarning.h"

namespace td {

SliceResult runSlice(Database& db, int count, const QString& readTable, const QString& writeTable,
    const std::function<int()>& readNext, const std::function<bool()>& handle)
{
    TransactionGuard tx(db, 2000, TransactionGuard::Nesting::Slice);
    if (!tx.ok()) {
        db.saveError();
        StandardWarning(db, StdMsg::TransactionFramingError, QStringLiteral("Update"), writeTable);
        return SliceResult::Stopped;
    }
    SliceResult result = SliceResult::More;
    for (int i = 0; i < count; ++i) {
        const int rc = readNext();
        if (rc == RecordNotAvailable) {
            result = SliceResult::End;
            break;
        }
        if (rc != 0) {
            db.saveError();
            StandardWarning(db, StdMsg::RecordRetrievalError, readTable);
            return SliceResult::Stopped;
        }
        if (!handle()) // its message rolled this slice back; rows of earlier slices stay done
            return SliceResult::Stopped;
    }
    if (tx.commit() != 0) {
        db.saveError();
        StandardWarning(db, StdMsg::ProcessError, QStringLiteral("Put"), writeTable);
        return SliceResult::Stopped;
    }
    return result;
}

} // namespace td
