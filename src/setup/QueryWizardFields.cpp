#include "setup/QueryWizardFields.h"

#include "core/Messages.h"
#include "core/Picture.h"

#include <algorithm>

namespace td {

bool QueryField::isDate() const
{
    return isNumber() && Picture(picture).isDate();
}

bool QueryField::isTime() const
{
    return isNumber() && Picture(picture).isTime();
}

int QueryFieldList::indexOf(const QString& label) const
{
    const QString l = label.trimmed();
    for (int i = 0; i < fields.size(); ++i) {
        if (fields.at(i).label.compare(l, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

const QueryField* QueryFieldList::find(const QString& label) const
{
    const int i = indexOf(label);
    return i < 0 ? nullptr : &fields.at(i);
}

namespace {

bool readNumber(const QString& s, int* out)
{
    bool ok = false;
    const int n = s.trimmed().toInt(&ok);
    if (ok)
        *out = n;
    return ok;
}

int readRecord(const QString& record, QueryField* f)
{
    // Eight fields, each ended by the field mark: the last mark ends the record's text.
    if (!record.endsWith(kQueryFieldEnd))
        return QueryFieldsBadRecord;
    const QStringList parts = record.left(record.size() - 1).split(kQueryFieldEnd);
    if (parts.size() != 8)
        return QueryFieldsBadRecord;
    f->title = parts.at(0);
    f->label = parts.at(2).trimmed();
    f->picture = parts.at(3).trimmed();
    if (f->title.trimmed().isEmpty() || f->label.isEmpty())
        return QueryFieldsNoLabel;
    if (!readNumber(parts.at(1), &f->reserved) || !readNumber(parts.at(4), &f->length)
        || !readNumber(parts.at(5), &f->kind) || !readNumber(parts.at(6), &f->entryMode))
        return QueryFieldsBadNumber;
    if (f->length <= 0 || (f->kind != 1 && f->kind != 2) || (f->entryMode != 1 && f->entryMode != 3))
        return QueryFieldsBadNumber;
    f->choices = parts.at(7).isEmpty() ? QStringList() : parts.at(7).split(QLatin1Char('|'));
    if (f->isChoice() && f->choices.isEmpty())
        return QueryFieldsNoChoices;
    return QueryFieldsOk;
}

} // namespace

int AddQueryFields(QueryFieldList& list, const QString& text)
{
    QStringList records = text.split(kQueryRecordEnd);
    // The text ends with a record mark, so the last piece is empty.
    if (!records.last().isEmpty())
        return QueryFieldsUnended;
    records.removeLast();
    if (records.isEmpty())
        return QueryFieldsEmpty;

    QList<QueryField> read;
    for (const QString& r : records) {
        QueryField f;
        if (const int error = readRecord(r, &f))
            return error;
        const auto same
            = [&f](const QueryField& o) { return o.label.compare(f.label, Qt::CaseInsensitive) == 0; };
        if (list.find(f.label) || std::any_of(read.cbegin(), read.cend(), same))
            return QueryFieldsDuplicate;
        read.append(f);
    }
    list.fields.append(read);
    return QueryFieldsOk;
}

void InitQueryFields(QueryFieldList& list, const QString& group)
{
    list.group = group.trimmed();
    list.initialized = true;
}

QString queryFieldText(const QList<QueryField>& fields)
{
    QString out;
    for (const QueryField& f : fields) {
        const QString parts[]
            = { f.title, QString::number(f.reserved), f.label, f.picture, QString::number(f.length),
                  QString::number(f.kind), QString::number(f.entryMode), f.choices.join(QLatin1Char('|')) };
        for (const QString& p : parts)
            out += p + kQueryFieldEnd;
        out += kQueryRecordEnd;
    }
    return out;
}

namespace {

QueryField field(const char* title, const char* label, const char* picture, int length, int kind,
    int mode = 1, const QStringList& choices = {})
{
    QueryField f;
    f.title = QLatin1String(title);
    f.label = QLatin1String(label);
    f.picture = QLatin1String(picture);
    f.length = length;
    f.kind = kind;
    f.entryMode = mode;
    f.choices = choices;
    return f;
}

QList<QueryField> songTableFields()
{
    const QStringList sides = { QStringLiteral(" (N/A)"), QStringLiteral("A"), QStringLiteral("B"),
        QStringLiteral("1"), QStringLiteral("2") };
    return {
        field("Artist", "MUS:Artist", "@s40", 40, 1),
        field("Title", "MUS:Title", "@s40", 40, 1),
        field("Album", "MUS:Album", "@s40", 40, 1),
        field("Media", "MUS:Media", "@s20", 20, 1),
        field("File Number", "MUS:FileNumber", "@s20", 20, 1),
        field("Release", "MUS:ReleaseDate", "@d2", 4, 2),
        field("Category (Unique ID)", "MUS:CategoryID", "@n-13", 4, 2),
        field("Chart", "MUS:ChartNumber", "@n3", 1, 2),
        field("Track", "MUS:TrackNumber", "@n3", 1, 2),
        field("Side / Disc", "MUS:Side", "@s1", 1, 1, 3, sides),
        field("Time", "MUS:Time", "@t4", 4, 2),
        field("User Defined Key Field", "MUS:UserDefinedKeyField", "@s30", 30, 1),
        field("Addition Information (1)", "MUS:AdditionalInformation1", "@s80", 80, 1),
        field("Addition Information (2)", "MUS:AdditionalInformation2", "@s80", 80, 1),
        field("Addition Information (3)", "MUS:AdditionalInformation3", "@s80", 80, 1),
        field("Beats Per Minute (BPM)", "MUS:BeatsPerMinute", "@n_4b", 4, 2),
        field("Style", "MUS:Style", "@s30", 30, 1),
        field("Recording Information", "MUS:Recording", "@s255", 256, 1),
        field("Composer", "MUS:Composer", "@s80", 80, 1),
        field("Performance Notes", "MUS:PerformanceNotes", "@s255", 256, 1),
        field("Date Last Played", "MUS:LastPlayed", "@d17-", 4, 2),
        field("Notes", "MUS:Notes", "@s255", 2000, 1),
    };
}

} // namespace

QString songQueryFieldText(SongQueryList which)
{
    QList<QueryField> fields;
    if (which != SongQueryList::PaperSaver)
        fields << field("Category", "CAT:Category", "@s30", 30, 1);
    if (which == SongQueryList::SongList)
        fields << field("Media", "MED:Media", "@s20", 20, 1);
    fields << songTableFields();
    return queryFieldText(fields);
}

int prepareQueryFields(Messages& messages, QueryFieldList& list, const QString& text, const QString& group)
{
    const int error = AddQueryFields(list, text);
    if (error != QueryFieldsOk) {
        list.fields.clear();
        messages.show(QStringLiteral("Query Wizard Error# ") + QString::number(error),
            QStringLiteral("An error has prevented the Query Wizard from initializing."), Icon::Stop);
        return error;
    }
    InitQueryFields(list, group);
    return error;
}

FilterSchema queryFieldSchema(const QueryFieldList& list)
{
    FilterSchema schema;
    for (const QueryField& f : list.fields)
        schema.addField(f.label, f.filterKind(), QLatin1Char('"') + f.label + QLatin1Char('"'));
    return schema;
}

} // namespace td
