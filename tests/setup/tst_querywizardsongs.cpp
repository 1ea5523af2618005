// Every condition the query wizard builds for the song list, run as the song list runs its search
// (the song filter schema compiled to SQL over a real song table), gives exactly the songs an
// independent reading of the operator picks: every field, every operator, values that match some
// songs, none, and blanks.

#include "ScriptedMessages.h"
#include "TempWorkspace.h"
#include "core/DayTime.h"
#include "data/Database.h"
#include "data/TableHandle.h"
#include "setup/QueryWizardExpr.h"
#include "setup/QueryWizardFields.h"
#include "songs/SongFilter.h"

#include <QDate>
#include <QtTest>

using namespace td;

namespace {

const QLocale kLocale(QLocale::English, QLocale::UnitedStates);

QList<Tunedeck> sampleSongs()
{
    QList<Tunedeck> out;
    const auto add = [&out](const char* artist, const char* title, const char* media, int category, int chart,
                         const char* side, QDate released, int time, int bpm) {
        Tunedeck s;
        s.ID = int(out.size()) + 1;
        s.Artist = QString::fromUtf8(artist);
        s.Title = QString::fromUtf8(title);
        s.Album = QStringLiteral("Album ") + QString::number(s.ID % 3);
        s.Media = QLatin1String(media);
        s.FileNumber = s.ID % 2 ? QStringLiteral("F-%1").arg(s.ID) : QString();
        s.ReleaseDate = released.isValid() ? dayFromDate(released) : 0;
        s.CategoryID = category;
        s.ChartNumber = chart;
        s.TrackNumber = s.ID % 5;
        s.Side = QLatin1String(side);
        s.Time = time;
        s.UserDefinedKeyField = s.ID % 4 ? QString() : QStringLiteral("K%1").arg(s.ID);
        s.AdditionalInformation1 = s.ID % 3 ? QStringLiteral("info and more") : QString();
        s.BeatsPerMinute = bpm;
        s.Style = s.ID % 2 ? QStringLiteral("Rock") : QStringLiteral("rock'n'roll");
        s.Composer = s.ID % 3 ? QString() : QStringLiteral("Lennon/McCartney");
        s.LastPlayed = s.ID % 2 ? dayFromDate(QDate(1997, 12, 31)) : 0;
        s.Recording = s.ID == 2 ? QStringLiteral("Abbey Road Studios, London") : QString();
        s.PerformanceNotes = s.ID == 3 ? QStringLiteral("live") : QString();
        s.Notes = s.ID == 4 ? QString(1500, QLatin1Char('n')) + QStringLiteral("END") : QString();
        out << s;
    };
    add("Beatles", "It's Love", "CD", 1, 12, "A", QDate(1969, 9, 26), 22501, 120);
    add("beatles", "Love Me Do", "cd", 2, 0, "", QDate(1962, 10, 5), 14301, 0);
    add("Bee Gees", "Stayin' Alive", "LP", 9, 1, "B", QDate(1977, 12, 13), 28501, 103);
    add("ABBA", "Waterloo", "Tape", 0, 100, "1", QDate(), 16801, 0);
    add("", "", "CD", 1, 40, "2", QDate(1997, 1, 1), 0, 88);
    add("Çava", "Zebra", "Cassette", 2, 7, "A", QDate(1997, 12, 31), 360001, 140);
    add("Zappa", "a) OR (b", "", 1, 3, "", QDate(2001, 1, 1), 100, 1);
    return out;
}

QVariant songValue(const Tunedeck& s, const QString& label)
{
    const TableDef& def = tableDef(TableId::Tunedeck);
    const int i = def.fieldIndex(label);
    if (i >= 0) {
        const QVariant v = toRow(s).at(i);
        return def.field(i).isText() ? QVariant(v.toString()) : QVariant(v.toLongLong());
    }
    if (label == QLatin1String("CAT:Category")) {
        switch (s.CategoryID) {
        case 1:
            return QStringLiteral("Pop");
        case 2:
            return QStringLiteral("Rock");
        default:
            return QString(); // no category, or one that no longer exists
        }
    }
    if (label == QLatin1String("MED:Media")) {
        // The media record of the song's media name, found as its key finds it.
        for (const char* m : { "CD", "LP", "Cassette" }) {
            if (s.Media.trimmed().compare(QLatin1String(m), Qt::CaseInsensitive) == 0)
                return QString::fromLatin1(m);
        }
        return QString();
    }
    return {};
}

QString joined(const QList<int>& ids)
{
    QStringList out;
    for (int id : ids)
        out << QString::number(id);
    return out.join(QLatin1Char(','));
}

QString clipped(const QString& s)
{
    QString out = s;
    while (out.endsWith(QLatin1Char(' ')))
        out.chop(1);
    return out;
}

// What each operator means, read plainly from its name.
bool expected(const QueryField& f, int op, const QVariant& field, const QString& value)
{
    if (f.isNumber()) {
        const qint64 n = field.toLongLong();
        switch (op) {
        case 7:
            return QString::number(n).toUpper().startsWith(clipped(value).toUpper());
        case 8:
            return QString::number(n).toUpper().contains(clipped(value).toUpper());
        case 9:
            return n != 0;
        case 10:
            return n == 0;
        }
        const qint64 m = value.toLongLong();
        const bool cmp[] = { n == m, n != m, n > m, n < m, n >= m, n <= m };
        return cmp[op - 1];
    }
    const QString v = clipped(field.toString());
    const QString t = clipped(value);
    switch (op) {
    case 7:
        return v.toUpper().startsWith(t.toUpper());
    case 8:
        return v.toUpper().contains(t.toUpper());
    case 9:
        return !v.isEmpty();
    case 10:
        return v.isEmpty();
    }
    const int c = v.compare(t);
    const bool cmp[] = { c == 0, c != 0, c > 0, c < 0, c >= 0, c <= 0 };
    return cmp[op - 1];
}

// Values to type for a field: what some song holds (in any letter case, or a part of it) and
// what none holds, and a blank.
QStringList typedValues(const QueryField& f, const QList<Tunedeck>& songs)
{
    QStringList out { QString() };
    if (f.isChoice())
        return f.choices;
    const QString first = songValue(songs.at(0), f.label).toString();
    const QString second = songValue(songs.at(2), f.label).toString();
    if (f.isDate() || f.isTime()) {
        out << displayQueryValue(f, first, kLocale) << displayQueryValue(f, second, kLocale);
    } else if (f.isNumber()) {
        out << first << second << QStringLiteral("1");
    } else {
        out << first << second.toLower() << second.left(2) << QStringLiteral("o") << QStringLiteral("zzz");
    }
    out.removeDuplicates();
    return out;
}

} // namespace

class TestQueryWizardSongs : public QObject {
    Q_OBJECT

private slots:
    void searchGivesTheSongsMeant();
};

void TestQueryWizardSongs::searchGivesTheSongsMeant()
{
    test::TempWorkspace ws;
    Messages messages;
    auto script = test::installScripted(messages);
    Database db(messages);
    // Open for the whole search, as the song list holds them: the names are read from them.
    Table<Categories> c(db);
    Table<Media> m(db);
    {
        for (const auto& [id, name] : { std::pair { 1, "Pop" }, std::pair { 2, "Rock" } }) {
            c.clear();
            c.rec.CategoryID = id;
            c.rec.Category = QLatin1String(name);
            QCOMPARE(c.add(), 0);
        }
        for (const char* name : { "CD", "LP", "Cassette" }) {
            m.clear();
            m.rec.Media = QLatin1String(name);
            if (m.get(m.key("MED:KeyMedia")) != 0) { // not among the defaults already
                m.clear();
                m.rec.Media = QLatin1String(name);
                QCOMPARE(m.add(), 0);
            }
        }
    }
    const QList<Tunedeck> songs = sampleSongs();
    Table<Tunedeck> table(db);
    for (const Tunedeck& s : songs) {
        table.clear();
        table.rec = s;
        QCOMPARE(table.add(), 0);
    }

    // Every song reads back with no search.
    {
        QList<int> all;
        table.clearFilter();
        table.set(table.key("MUS:KeyID"));
        while (table.next() == 0)
            all << table.rec.ID;
        QCOMPARE(all.size(), songs.size());
    }

    QueryFieldList fields;
    QCOMPARE(AddQueryFields(fields, songQueryFieldText(SongQueryList::SongList)), 0);
    const FilterSchema schema = songFilterSchema();
    int checked = 0;
    for (const QueryField& f : fields.fields) {
        for (int op : queryOperatorsFor(f)) {
            for (const QString& typed : typedValues(f, songs)) {
                const QueryValue v = readQueryValue(f, op, typed, kLocale);
                if (!v.ok)
                    continue; // refused with a message in the window; nothing to run
                const QString expression = buildQueryExpression(
                    { QueryCondition { QueryJoin::And, f.label, op, v.value } }, fields);
                const SongSearch search = compileSongSearch(expression, schema);
                QVERIFY2(search.valid, qPrintable(expression + QStringLiteral(": ") + search.error));

                QList<int> want;
                for (const Tunedeck& s : songs) {
                    if (expected(f, op, songValue(s, f.label), v.value))
                        want << s.ID;
                }
                QList<int> got;
                table.setFilter(search.sql, search.params);
                table.set(table.key("MUS:KeyID"));
                int rc = 0;
                while ((rc = table.next()) == 0)
                    got << table.rec.ID;
                QVERIFY2(rc == 33,
                    qPrintable(expression + QStringLiteral(": error ") + table.lastError().text
                        + QLatin1Char(' ') + table.lastError().engineText));
                QVERIFY2(got == want,
                    qPrintable(QStringLiteral("%1 (typed '%2'): got %3, meant %4")
                                   .arg(expression, typed, joined(got), joined(want))));
                ++checked;
            }
        }
    }
    QVERIFY(checked > 500);
    QVERIFY(script->asked().isEmpty());
}

QTEST_GUILESS_MAIN(TestQueryWizardSongs)
#include "tst_querywizardsongs.moc"
