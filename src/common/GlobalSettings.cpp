#include "common/GlobalSettings.h"

#include "core/IniFile.h"
#include "core/TextField.h"

namespace td {

namespace {

QString text(const QString& path, const char* key, const QString& def, int width)
{
    return storeText(ini::readString(path, QLatin1String(kSettingsSection), QLatin1String(key), def), width);
}

bool flag(const QString& path, const char* key, bool def)
{
    return ini::readInt(path, QLatin1String(kSettingsSection), QLatin1String(key), def ? 1 : 0) != 0;
}

} // namespace

bool GlobalSettings::explorerInterface() const
{
    return Interface.trimmed().compare(QLatin1String("Explorer"), Qt::CaseInsensitive) == 0;
}

QString GlobalSettings::datePicture() const
{
    const QString f = DateFormat.trimmed();
    return f.isEmpty() ? QString() : QLatin1Char('@') + f;
}

void LoadGlobalSettings(GlobalSettings& s, ReportCriteria& criteria, const QString& path)
{
    const ReportCriteria fresh;
    criteria.ReportStyle = fresh.ReportStyle;
    criteria.SelectedOrAll = fresh.SelectedOrAll;
    criteria.ReportWithPreview = fresh.ReportWithPreview;
    const GlobalSettings d;
    s.SU_Albums = flag(path, "SU_Albums", d.SU_Albums);
    s.SU_Songs = flag(path, "SU_Songs", d.SU_Songs);
    s.SU_Playlists = flag(path, "SU_Playlists", d.SU_Playlists);
    s.SU_Labels = flag(path, "SU_Labels", d.SU_Labels);
    s.AutoAddToAlbums = text(path, "AutoAddToAlbums", d.AutoAddToAlbums, 20);
    s.AddMode = text(path, "AddMode", d.AddMode, 20);
    s.LabelArtistTitleOrder = text(path, "LabelArtistTitleOrder", d.LabelArtistTitleOrder, 20);
    s.Delimiter = text(path, "GLO:Delimiter", d.Delimiter, 1);
    s.UDKPrompt = text(path, "UDKPrompt", d.UDKPrompt, 24);
    s.NotesLabel = text(path, "NotesLabel", d.NotesLabel, 20);
    s.DateFormat = text(path, "DateFormat", d.DateFormat, 6);
    s.Logo = text(path, "Logo", d.Logo, 255);
    s.Interface = text(path, "Interface", d.Interface, 20);
    s.CDTimer = ini::readInt(path, QLatin1String(kSettingsSection), QStringLiteral("CDTimer"), d.CDTimer);
    s.SetupWizardComplete = flag(path, "SetupWizardComplete", d.SetupWizardComplete);
    s.DefaultWizardCompilation = flag(path, "DefaultWizardCompilation", d.DefaultWizardCompilation);
    s.SaveLastTab = flag(path, "SaveLastTab", d.SaveLastTab);
}

bool SaveSetting(const QString& iniPath, const QString& key, const QString& value)
{
    return ini::writeString(iniPath, QLatin1String(kSettingsSection), key, value);
}

} // namespace td
