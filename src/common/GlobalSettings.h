#pragma once
// The preferences held while the program runs, read from section [Settings] of TDPRO97.INI by
// LoadGlobalSettings with a default for every missing key.

#include <QString>

namespace td {

// The report criteria and the binder-page choices: in memory for the program's run, shared by every
// report (the last choice is offered again).
struct ReportCriteria {
    QString ReportStyle = QStringLiteral("Standard");   // 10 characters
    QString SelectedOrAll = QStringLiteral("All");      // 8 characters
    bool ReportWithPreview = true;
    bool ReportCustomFont = false;
    QString ReportSelection;                            // 30 characters: the "Selected" prefix
    QString StartFileNumber;                            // 30 characters: binder/flap page range
    QString EndFileNumber;                              // 30 characters
    QString PageStyle = QStringLiteral("Binder");       // 6 characters: "Binder" or "Flap"
};

struct GlobalSettings {
    bool SU_Albums = false;
    bool SU_Songs = false;
    bool SU_Playlists = false;
    bool SU_Labels = false;
    QString AutoAddToAlbums = QStringLiteral("1");
    QString AddMode = QStringLiteral("1");
    QString LabelArtistTitleOrder = QStringLiteral("1");
    QString Delimiter = QStringLiteral(".");             // key "GLO:Delimiter"
    QString UDKPrompt = QStringLiteral("Custom");
    QString NotesLabel = QStringLiteral("Notes");
    QString DateFormat;                                   // a picture without its "@", e.g. "d17"
    QString Logo;
    QString Interface = QStringLiteral("Standard");
    int CDTimer = 150;
    bool SetupWizardComplete = false;
    bool DefaultWizardCompilation = false;
    bool SaveLastTab = true;

    bool explorerInterface() const;
    bool autoAddToAlbums() const { return !AutoAddToAlbums.trimmed().isEmpty(); }
    // The date picture lists and forms put in place of their own ("@d17"), or empty for none.
    QString datePicture() const;
};

inline constexpr const char* kSettingsSection = "Settings";

// Reads every key (defaults for missing ones) and resets the report style, the include choice and
// the preview flag; the other criteria keep their values.
void LoadGlobalSettings(GlobalSettings& settings, ReportCriteria& criteria, const QString& iniPath);

// Writes one key of [Settings].
bool SaveSetting(const QString& iniPath, const QString& key, const QString& value);

} // namespace td
