#pragma once
// The paper-saver listings: every song on one line in small type, by artist ("PrintPaperSaver")
// or by title ("PrintPaperSaverTitle"), limited by a search built in the query wizard. Songs whose
// artist holds "(*)" or whose title holds "(Skips)" are left out; the "Selected" prefix of the
// report criteria is compared with the artist in both listings; the custom font is kept under the
// listing's name.

#include "reports/ReportDefinition.h"

#include <QString>

namespace td {

class Messages;
struct QueryFieldList;

enum class PaperSaverOrder { ByArtist, ByTitle };

// The listing limited by `filterText`, the query wizard's search (blank: every song). A search
// that does not read gives an invalid definition and the reason in `error`.
ReportDefinition paperSaverReport(
    PaperSaverOrder order, const QString& filterText, const ReportContext& context, QString* error = nullptr);

// The song fields the query wizard offers for these listings, under the query group "SONGS". On
// an error the wizard's initialisation message has been shown; the wizard is started all the same.
int paperSaverQueryFields(Messages& messages, QueryFieldList& list);

} // namespace td
