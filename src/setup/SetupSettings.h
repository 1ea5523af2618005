#pragma once
// The rules behind the Preferences window and the setup wizard, apart from their widgets: the
// date format entries and their codes, writing the preferences back in their order, the messages a
// changed date format brings, and the texts the user reads.

#include "common/GlobalSettings.h"

#include <QString>
#include <QStringList>

namespace td {

// The date format drop-down: the entry shown and the code stored, in the order of the list.
struct DateFormatEntry {
    QString shown;
    QString code;
};
const QList<DateFormatEntry>& dateFormatEntries();
QStringList dateFormatEntryTexts();

// The entry that shows `code`; a code that is none of the entries shows as itself (blank stays
// blank), so that a format set by hand is neither lost nor replaced.
QString dateEntryForCode(const QString& code);
// The code of an entry; an entry that is none of the list (the raw code shown) keeps `current`.
QString dateCodeForEntry(const QString& entry, const QString& current);

inline constexpr const char* kYearOnlyEntry = "Year Only";
inline constexpr const char* kYearOnlyCode = "n4b";

// What choosing a date entry brings when the preferences are confirmed.
struct DateFormatChange {
    bool inform = false;      // the "Information" that open windows keep their format
    bool askConvert = false;  // the question whether to turn stored dates into years
};
// The Preferences window: informs when the entry differs from the one shown at opening, and asks
// to convert when "Year Only" is chosen while the format in force is another one (blank included).
DateFormatChange setupDateChange(const QString& openedEntry, const QString& chosenEntry, const QString& formatInForce);
// The setup wizard: never informs; asks only when a format other than "Year Only" was set before.
DateFormatChange wizardDateChange(const QString& chosenEntry, const QString& formatInForce);

// Which confirmation writes the preferences: they write the same keys in the same order, except
// that the window keeps "SaveLastTab" and the wizard marks itself completed instead.
enum class SettingsWriter { Window, Wizard };

// The keys written, in their order, "DateFormat" last.
QStringList writtenSettingKeys(SettingsWriter writer);

// Writes the preferences to section [Settings] of `iniPath` in one replacement of the file, with
// `dateFormat` as the new "DateFormat" (flags as 1 or 0, "Setup" and for the wizard
// "SetupWizardComplete" as 1). False, the file untouched and `error` set, when it cannot be written.
bool SaveSetupSettings(const GlobalSettings& settings, const QString& dateFormat, SettingsWriter writer,
                       const QString& iniPath, QString* error = nullptr);

// Reads the four start-up flags from the file again, leaving every other preference as it is.
void reloadStartupFlags(GlobalSettings& settings, const QString& iniPath);

// A date entry shown through its format: today's date and a year stored alone. Empty when the code
// is not a date or number format (lists then keep their own).
QString dateFormatSample(const QString& code, int day);
// The prompt of the user-defined key field as the song form shows it.
QString songFormUdkPrompt(const QString& prompt);

// Texts the windows show.
namespace setuptext {
inline constexpr const char* kHousekeepingCaption = "Housekeeping";
QString copyToAlbumQuestion();
QString testAlbumIdsQuestion();
inline constexpr const char* kInformationCaption = "Information";
QString dateChangeInformation();
inline constexpr const char* kConvertCaption = "Basic Format Changed";
QString convertQuestion();
inline constexpr const char* kSaveFailedCaption = "Preferences Not Saved";
QString saveFailed(const QString& iniPath, const QString& error);
} // namespace setuptext

} // namespace td
