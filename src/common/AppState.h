#pragma once
// The process-wide values of one program run, owned by the program and handed to every window:
// the database with its use counts, the message service, the preferences and report criteria, the
// version, the wizards' instance number, the flag "started from the CD player", the album history
// copy, and the entries of windows that later features add (WindowEntries.h). Tests make their own.

#include "common/GlobalSettings.h"
#include "common/WindowEntries.h"
#include "data/Records.h"

#include <QString>
#include <optional>

namespace td {

class Database;
class Messages;
class QueryWizardTexts;
class CdAudioDevice;

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
    GlobalSettings settings;
    ReportCriteria criteria;

    QString version = QString::fromLatin1(kVersion);
    QString versionCaption = QStringLiteral("Version ") + QString::fromLatin1(kVersion);
    QString queryWizardFileName = QStringLiteral("TDPQUERY");
    int threadInstance = 0;                 // owner number of the add wizards' scratch rows
    bool startedFromCdPlayer = false;
    // The album last saved with OK by any album form in this run: what the history key recalls.
    std::optional<Album> albumHistory;

    // A fresh window instance number, one per window that keeps scratch rows.
    int nextInstance() { return ++instanceCounter_; }

private:
    int instanceCounter_ = 0;
};

} // namespace td
