#pragma once
// The process-wide values of one program run, owned by the program and handed to every window:
// the database with its use counts, the message service, the preferences and report criteria, the
// version, the add wizards' instance numbers, the flag "started from the CD player", the album history
// copy, and the entries of windows that later features add (WindowEntries.h). Tests make their own.

#include "common/GlobalSettings.h"
#include "common/WindowEntries.h"
#include "data/Records.h"

#include <QString>
#include <optional>
#include <set>

namespace td {

class Database;
class Messages;
class QueryWizardTexts;
class CdAudioDevice;
class ProgramPrinter;

inline constexpr const char* kVersion = "1.8c";
inline constexpr const char* kProgramTitle = "Tunedeck Pro 97";

class AppState {
public:
    AppState(Database& db, Messages& messages, const QueryWizardTexts& queryTexts, CdAudioDevice& cd)
        : db(db)
        , messages(messages)
        , queryTexts(queryTexts)
        , cd(cd)
    {
    }

    Database& db;
    Messages& messages;
    const QueryWizardTexts& queryTexts; // the query wizard's texts, set up once at start
    CdAudioDevice& cd;                  // the "cdaudio" device every CD window talks to
    WindowEntries entries;
    ProgramPrinter* printer = nullptr; // the frame's printer, for the windows that print (set by the frame)
    GlobalSettings settings;
    ReportCriteria criteria;

    QString version = QString::fromLatin1(kVersion);
    QString versionCaption = QStringLiteral("Version ") + QString::fromLatin1(kVersion);
    QString queryWizardFileName = QStringLiteral("TDPQUERY");
    bool startedFromCdPlayer = false;
    // The album last saved with OK by any album form in this run: what the history key recalls.
    std::optional<Album> albumHistory;

    // The add wizards' scratch rows belong to the wizard holding their instance number: an open
    // wizard claims the lowest number no other open wizard holds (from 1), so that the rows a
    // cancelled wizard left are found by the next one and two open wizards never share rows.
    qint64 claimWizardInstance()
    {
        qint64 n = 1;
        while (wizardInstances_.count(n))
            ++n;
        wizardInstances_.insert(n);
        return n;
    }
    void releaseWizardInstance(qint64 n) { wizardInstances_.erase(n); }
    bool wizardInstanceHeld(qint64 n) const { return wizardInstances_.count(n) != 0; }

private:
    std::set<qint64> wizardInstances_;
};

} // namespace td
