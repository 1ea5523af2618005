#include "setup/SetupSettings.h"

#include "core/IniFile.h"
#include "core/Picture.h"
#include "core/TextField.h"

namespace td {

const QList<DateFormatEntry>& dateFormatEntries()
{
    static const QList<DateFormatEntry> entries {
        {QStringLiteral("Windows Default"), QStringLiteral("d17")},
        {QStringLiteral("Year Only"), QStringLiteral("n4b")},
        {QStringLiteral("October 31, 1959"), QStringLiteral("d4")},
        {QStringLiteral("OCT 31,1959"), QStringLiteral("d3")},
        {QStringLiteral("10/31/59"), QStringLiteral("d1")},
        {QStringLiteral("10/31/1959"), QStringLiteral("d2")},
        {QStringLiteral("31 OCT 59"), QStringLiteral("d7")},
        {QStringLiteral("31 OCT 1959"), QStringLiteral("d8")},
        {QStringLiteral("31/10/59"), QStringLiteral("d5")},
        {QStringLiteral("31/10/1959"), QStringLiteral("d6")},
        {QStringLiteral("59/10"), QStringLiteral("d15")},
        {QStringLiteral("1959/10"), QStringLiteral("d16")},
        {QStringLiteral("10/59"), QStringLiteral("d13")},
        {QStringLiteral("10/1959"), QStringLiteral("d14")},
        {QStringLiteral("Windows Default 2"), QStringLiteral("d18")},
    };
    return entries;
}

QStringList dateFormatEntryTexts()
{
    QStringList out;
    for (const DateFormatEntry& e : dateFormatEntries())
        out << e.shown;
    return out;
}

QString dateEntryForCode(const QString& code)
{
    const QString c = clip(code);
    for (const DateFormatEntry& e : dateFormatEntries())
        if (e.code == c)
            return e.shown;
    return c;
}

QString dateCodeForEntry(const QString& entry, const QString& current)
{
    for (const DateFormatEntry& e : dateFormatEntries())
        if (e.shown == entry)
            return e.code;
    return current;
}

DateFormatChange setupDateChange(const QString& openedEntry, const QString& chosenEntry, const QString& formatInForce)
{
    DateFormatChange c;
    c.inform = chosenEntry != openedEntry;
    c.askConvert = clip(formatInForce) != QLatin1String(kYearOnlyCode) && chosenEntry == QLatin1String(kYearOnlyEntry);
    return c;
}

DateFormatChange wizardDateChange(const QString& chosenEntry, const QString& formatInForce)
{
    const QString inForce = clip(formatInForce).trimmed();
    DateFormatChange c;
    c.askConvert = !inForce.isEmpty() && inForce != QLatin1String(kYearOnlyCode)
        && chosenEntry == QLatin1String(kYearOnlyEntry);
    return c;
}

QStringList writtenSettingKeys(SettingsWriter writer)
{
    QStringList keys {QStringLiteral("AutoAddToAlbums"), QStringLiteral("AddMode"), QStringLiteral("LabelArtistTitleOrder"),
                      QStringLiteral("GLO:Delimiter"),   QStringLiteral("UDKPrompt"), QStringLiteral("NotesLabel"),
                      QStringLiteral("Setup"),           QStringLiteral("Interface"), QStringLiteral("SU_Albums"),
                      QStringLiteral("SU_Songs"),        QStringLiteral("SU_Playlists"), QStringLiteral("SU_Labels"),
                      QStringLiteral("Logo")};
    if (writer == SettingsWriter::Window)
        keys << QStringLiteral("SaveLastTab") << QStringLiteral("DefaultWizardCompilation");
    else
        keys << QStringLiteral("DefaultWizardCompilation") << QStringLiteral("SetupWizardComplete");
    keys << QStringLiteral("DateFormat");
    return keys;
}

namespace {

QString settingValue(const GlobalSettings& s, const QString& key, const QString& dateFormat)
{
    auto flag = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    if (key == QLatin1String("AutoAddToAlbums"))
        return clip(s.AutoAddToAlbums);
    if (key == QLatin1String("AddMode"))
        return clip(s.AddMode);
    if (key == QLatin1String("LabelArtistTitleOrder"))
        return clip(s.LabelArtistTitleOrder);
    if (key == QLatin1String("GLO:Delimiter"))
        return s.Delimiter.left(1);
    if (key == QLatin1String("UDKPrompt"))
        return clip(s.UDKPrompt);
    if (key == QLatin1String("NotesLabel"))
        return clip(s.NotesLabel);
    if (key == QLatin1String("Setup") || key == QLatin1String("SetupWizardComplete"))
        return QStringLiteral("1");
    if (key == QLatin1String("Interface"))
        return clip(s.Interface);
    if (key == QLatin1String("SU_Albums"))
        return flag(s.SU_Albums);
    if (key == QLatin1String("SU_Songs"))
        return flag(s.SU_Songs);
    if (key == QLatin1String("SU_Playlists"))
        return flag(s.SU_Playlists);
    if (key == QLatin1String("SU_Labels"))
        return flag(s.SU_Labels);
    if (key == QLatin1String("Logo"))
        return clip(s.Logo);
    if (key == QLatin1String("SaveLastTab"))
        return flag(s.SaveLastTab);
    if (key == QLatin1String("DefaultWizardCompilation"))
        return flag(s.DefaultWizardCompilation);
    return clip(dateFormat); // "DateFormat"
}

} // namespace

bool SaveSetupSettings(const GlobalSettings& settings, const QString& dateFormat, SettingsWriter writer,
                       const QString& iniPath, QString* error)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    IniFile file(iniPath);
    if (!file.load())
        // Never replace a file that could not be read with one holding only these keys.
        return fail(file.errorString().isEmpty() ? QStringLiteral("The file cannot be read.") : file.errorString());
    const QString section = QLatin1String(kSettingsSection);
    for (const QString& key : writtenSettingKeys(writer)) {
        if (!file.setValue(section, key, settingValue(settings, key, dateFormat)))
            return fail(QStringLiteral("The value of %1 cannot be stored in the file.").arg(key));
    }
    if (!file.save())
        return fail(file.errorString());
    return true;
}

void reloadStartupFlags(GlobalSettings& s, const QString& iniPath)
{
    const IniFile file(iniPath);
    const QString section = QLatin1String(kSettingsSection);
    auto flag = [&](const char* key, bool def) {
        return file.intValue(section, QLatin1String(key), def ? 1 : 0) != 0;
    };
    const GlobalSettings d;
    s.SU_Albums = flag("SU_Albums", d.SU_Albums);
    s.SU_Songs = flag("SU_Songs", d.SU_Songs);
    s.SU_Playlists = flag("SU_Playlists", d.SU_Playlists);
    s.SU_Labels = flag("SU_Labels", d.SU_Labels);
}

QString dateFormatSample(const QString& code, int day)
{
    // The same test the lists make before they take the setting in place of their own picture.
    const QString c = clip(code).trimmed();
    const Picture p(QLatin1Char('@') + c);
    if (c.isEmpty() || !p.isValid() || !(p.isDate() || p.isNumber()))
        return {};
    return formatDateValue(p, day) + QStringLiteral("   (a year alone: ") + formatDateValue(p, 1959)
        + QLatin1Char(')');
}

QString songFormUdkPrompt(const QString& prompt)
{
    // The song form labels the field with the user's name for it, or its own name when blank.
    const QString p = clip(prompt);
    return p.trimmed().isEmpty() ? QStringLiteral("User Defined Key Field:") : p + QLatin1Char(':');
}

namespace setuptext {

QString copyToAlbumQuestion()
{
    return QStringLiteral(
        "This function will create the album database based on information in your main Tunedeck Pro "
        "database.  It may take some time to complete.  This should only be required if you are upgrading "
        "from version 1.1.  Are you sure you wish to continue?");
}

QString testAlbumIdsQuestion()
{
    return QStringLiteral(
        "This function will test (and fix where possible) the links between the album database and your main "
        "Tunedeck Pro database.  It may take some time to complete.  This should only be required if you are "
        "upgrading from version 1.1.  Are you sure you wish to continue?");
}

QString dateChangeInformation()
{
    return QStringLiteral(
        "Date format changes will not affect currently open windows.  You can close and re-open windows, or "
        "exit and restart Tunedeck Pro to view information using the new date format.");
}

QString convertQuestion()
{
    return QStringLiteral("Convert existing entries to Year Only format (day and month information will be lost!)?");
}

QString saveFailed(const QString& iniPath, const QString& error)
{
    return QStringLiteral("The preferences could not be saved to %1.|%2|Nothing has been changed in the file.")
        .arg(iniPath, error);
}

} // namespace setuptext

} // namespace td
