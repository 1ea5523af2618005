#include "exchange/ImportSetup.h"

namespace td {

namespace {

QChar pictureType(const QString& picture)
{
    return picture.size() > 1 ? picture.at(1).toLower() : QChar();
}

QString trimmedRight(const QString& s)
{
    qsizetype n = s.size();
    while (n > 0 && s.at(n - 1).isSpace())
        --n;
    return s.left(n);
}

} // namespace

QString importTypeText(const QString& picture)
{
    const QChar t = pictureType(picture);
    if (t == QLatin1Char('s'))
        return QStringLiteral("Alpha-num");
    if (t == QLatin1Char('n'))
        return QStringLiteral("Numeric");
    return picture;
}

QString exportTypeText(const QString& picture)
{
    const QChar t = pictureType(picture);
    if (t == QLatin1Char('s'))
        return QStringLiteral("Alpha-numeric");
    if (t == QLatin1Char('n'))
        return QStringLiteral("Numeric");
    return picture;
}

bool pictureKeepsText(const QString& picture)
{
    const QChar t = pictureType(picture);
    return t == QLatin1Char('s') || t == QLatin1Char('n');
}

bool pictureEntryValid(const QString& entry)
{
    return entry.startsWith(QLatin1Char('@'));
}

const QStringList& importTargets()
{
    static const QStringList targets = {
        QStringLiteral("MUS:Artist"),
        QStringLiteral("MUS:Title"),
        QStringLiteral("MUS:Album"),
        QStringLiteral("MUS:Media"),
        QStringLiteral("MUS:FileNumber"),
        QStringLiteral("MUS:ReleaseDate"),
        QStringLiteral("MUS:CategoryID"),
        QStringLiteral("MUS:ChartNumber"),
        QStringLiteral("MUS:TrackNumber"),
        QStringLiteral("MUS:Side"),
        QStringLiteral("MUS:Time"),
        QStringLiteral("MUS:UserDefinedKeyField"),
        QStringLiteral("MUS:AdditionalInformation1"),
        QStringLiteral("MUS:AdditionalInformation2"),
        QStringLiteral("MUS:AdditionalInformation3"),
        QStringLiteral("MUS:BeatsPerMinute"),
        QStringLiteral("MUS:Style"),
        QStringLiteral("MUS:Recording"),
        QStringLiteral("MUS:Composer"),
        QStringLiteral("MUS:PerformanceNotes"),
        QStringLiteral("MUS:LastPlayed"),
        QStringLiteral("MUS:Notes"),
    };
    return targets;
}

bool ImportAssignment::any() const
{
    for (const QString& f : field)
        if (!f.isEmpty())
            return true;
    return false;
}

int ImportAssignment::targetOf(const QString& importField) const
{
    for (int i = 0; i < field.size(); ++i)
        if (!importField.isEmpty() && field.at(i) == importField)
            return i;
    return -1;
}

bool buildImportFields(CsvReader& reader, QList<ImportField>& fields)
{
    fields.clear();
    reader.rewind();
    if (reader.readLine() == 0)
        return false;
    while (reader.nextField() != CsvField::None) {
        ImportField f;
        f.name = QStringLiteral("Field_%1").arg(fields.size() + 1);
        f.picture = QStringLiteral("@S1000");
        f.sample = reader.text();
        fields << f;
    }
    if (reader.failed())
        return false;
    // Numbers are written unquoted: such fields of the second line read as numbers. A fault in that
    // line is told when the import reaches it.
    reader.setReportErrors(false);
    if (reader.readLine() > 0) {
        for (int i = 0; i < fields.size(); ++i) {
            const CsvField k = reader.nextField();
            if (k == CsvField::None)
                break;
            if (k == CsvField::Unquoted)
                fields[i].picture = QStringLiteral("@N30.9");
        }
    }
    reader.setReportErrors(true);
    reader.rewind();
    if (reader.readLine() == 0)
        return false;
    takeSamples(reader, fields);
    return true;
}

void takeSamples(CsvReader& reader, QList<ImportField>& fields)
{
    bool more = true;
    for (ImportField& f : fields) {
        more = more && reader.nextField() != CsvField::None;
        f.sample = more ? reader.text() : QString();
    }
}

int autoAssign(const QList<ImportField>& fields, ImportAssignment& assignment)
{
    const QStringList& targets = importTargets();
    auto fieldNamed = [&](const QString& name) -> QString {
        for (const ImportField& f : fields)
            if (trimmedRight(f.sample).compare(name, Qt::CaseInsensitive) == 0)
                return f.name;
        return QString();
    };
    int assigned = 0;
    for (int t = 0; t < targets.size(); ++t) {
        if (!assignment.field.at(t).isEmpty())
            continue;
        QString name;
        if (targets.at(t) == QLatin1String("MUS:CategoryID"))
            name = fieldNamed(QStringLiteral("CAT:Category")); // the import reads a category name
        if (name.isEmpty())
            name = fieldNamed(targets.at(t));
        if (!name.isEmpty()) {
            assignment.assign(t, name);
            ++assigned;
        }
    }
    return assigned;
}

} // namespace td
