#include "CatalogueGenerator.h"

#include "CatalogueWords.h"
#include "core/DayTime.h"
#include "data/FieldCatalog.h"

#include <QtMath>

namespace td::bench {

// --- random numbers --------------------------------------------------------------------------------

quint64 Random::next()
{
    quint64 z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

int Random::below(int n)
{
    return n <= 1 ? 0 : int(next() % quint64(n));
}

int Random::between(int lo, int hi)
{
    return lo + below(hi - lo + 1);
}

double Random::unit()
{
    return double(next() >> 11) * (1.0 / 9007199254740992.0);
}

// --- helpers ---------------------------------------------------------------------------------------

QString fitText(const QString& s, int width)
{
    QString t = s;
    if (width > 0 && t.size() > width) {
        int n = width;
        if (t.at(n - 1).isHighSurrogate())
            --n;
        t.truncate(n);
    }
    int end = int(t.size());
    while (end > 0 && t.at(end - 1) == QLatin1Char(' '))
        --end;
    t.truncate(end);
    return t;
}

namespace {

int widthOf(const char* field)
{
    const TableDef& t = tableDef(TableId::Tunedeck);
    return t.field(t.fieldIndex(QLatin1String(field))).width;
}

// Field widths looked up once: the generator clips to them so that both writers store the same rows.
struct Widths {
    int artist = widthOf("Artist");
    int title = widthOf("Title");
    int album = widthOf("Album");
    int fileNumber = widthOf("FileNumber");
    int userKey = widthOf("UserDefinedKeyField");
    int info = widthOf("AdditionalInformation1");
    int style = widthOf("Style");
    int composer = widthOf("Composer");
    int recording = widthOf("Recording");
    int performance = widthOf("PerformanceNotes");
    int notes = widthOf("Notes");
};

const Widths& widths()
{
    static const Widths w;
    return w;
}

QString capitalised(const QString& w)
{
    return w.isEmpty() ? w : w.left(1).toUpper() + w.mid(1);
}

// Media with their share of albums (per thousand) and the prefix of their file numbers.
struct Medium {
    const char* name;
    const char* prefix;
    int share;
    bool sided;
};
constexpr Medium kMedia[] = {
    {"CD", "CD", 620, false},       {"Vinyl LP", "LP", 150, true}, {"Cassette", "MC", 100, true},
    {"Digital Files", "DF", 80, false}, {"MiniDisc", "MD", 30, false}, {"DAT", "DAT", 20, false},
};
constexpr int kMediaCount = int(sizeof(kMedia) / sizeof(kMedia[0]));

int pickMedium(Random& rnd)
{
    int r = rnd.below(1000);
    for (int i = 0; i < kMediaCount; ++i) {
        if (r < kMedia[i].share)
            return i;
        r -= kMedia[i].share;
    }
    return 0;
}

} // namespace

// --- the fixed lists -------------------------------------------------------------------------------

const QStringList& CatalogueGenerator::categoryNames()
{
    static const QStringList names = words::categories();
    return names;
}

const QStringList& CatalogueGenerator::mediaNames()
{
    static const QStringList names = [] {
        QStringList l;
        for (const Medium& m : kMedia)
            l << QString::fromLatin1(m.name);
        return l;
    }();
    return names;
}

// --- the generator ---------------------------------------------------------------------------------

CatalogueGenerator::CatalogueGenerator(qint64 songs, quint64 seed)
    : rnd_(seed)
    , total_(qMax<qint64>(0, songs))
{
    // About one artist per 300 songs: a few thousand for a million.
    const int count = int(qBound(qint64(40), total_ / 300, qint64(20000)));
    artists_.reserve(count);
    for (int i = 0; i < count; ++i)
        artists_ << fitText(artistName(i), widths().artist);
    fileCounters_.fill(0, kMediaCount);
}

QString CatalogueGenerator::artistName(int i) const
{
    const QStringList& famous = words::famousArtists();
    if (i < famous.size())
        return famous.at(i);
    const int j = i - int(famous.size());
    const QStringList& first = words::firstNames();
    const QStringList& last = words::lastNames();
    const QStringList& adj = words::adjectives();
    const QStringList& nouns = words::nouns();
    QString name;
    int round = 0;
    if (j % 4 == 0) {
        // A band: "The Silver Foxes".
        const int b = j / 4;
        const int a = int(adj.size());
        const int n = int(nouns.size());
        name = QLatin1String("The ") + capitalised(adj.at(b % a)) + QLatin1Char(' ')
            + capitalised(nouns.at((b / a) % n)) + QLatin1Char('s');
        round = b / (a * n);
    } else {
        const int p = (j / 4) * 3 + (j % 4 - 1);
        const int f = int(first.size());
        const int l = int(last.size());
        name = first.at(p % f) + QLatin1Char(' ') + last.at((p / f) % l);
        round = p / (f * l);
    }
    if (round > 0)
        name += QLatin1Char(' ') + QString::number(round + 1);
    return name;
}

int CatalogueGenerator::pickArtist()
{
    // Half the albums from a few big names, the rest spread evenly.
    const double u = rnd_.unit();
    const double v = rnd_.chance(0.5) ? u * u * u : u;
    return qMin(int(v * artists_.size()), int(artists_.size()) - 1);
}

QString CatalogueGenerator::songTitle()
{
    const QStringList& w = words::titleWords();
    QString t;
    const int n = rnd_.chance(0.25) ? 1 : rnd_.between(2, 4);
    for (int i = 0; i < n; ++i) {
        if (i)
            t += QLatin1Char(' ');
        t += capitalised(rnd_.pick(w));
    }
    if (rnd_.chance(0.04))
        t += QLatin1Char(' ') + rnd_.pick(words::titleSuffixes());
    return fitText(t, widths().title);
}

QString CatalogueGenerator::uniqueAlbumTitle(const QString& artist)
{
    const QStringList& w = words::titleWords();
    QString base;
    switch (rnd_.below(6)) {
    case 0:
        base = capitalised(rnd_.pick(w));
        break;
    case 1:
        base = capitalised(rnd_.pick(words::adjectives())) + QLatin1Char(' ') + capitalised(rnd_.pick(w));
        break;
    case 2:
        base = capitalised(rnd_.pick(w)) + QLatin1String(" of ") + capitalised(rnd_.pick(w));
        break;
    case 3:
        base = QLatin1String("Live in ") + rnd_.pick(words::places());
        break;
    case 4:
        base = rnd_.pick(words::albumPhrases());
        break;
    default:
        base = capitalised(rnd_.pick(w)) + QLatin1Char(' ') + capitalised(rnd_.pick(w));
        break;
    }
    // (artist, album) is a unique key of the album table: number the repeats.
    const int width = widths().album;
    QString title = fitText(base, width);
    for (int n = 2; albumKeys_.contains((artist + QLatin1Char('\n') + title).toCaseFolded()); ++n) {
        const QString suffix = QStringLiteral(" Vol. %1").arg(n);
        title = fitText(base, width - int(suffix.size())) + suffix;
    }
    albumKeys_.insert((artist + QLatin1Char('\n') + title).toCaseFolded());
    return title;
}

void CatalogueGenerator::startAlbum()
{
    const Widths& w = widths();
    const bool various = rnd_.chance(0.04);
    const QString artist = various ? QStringLiteral("Various Artists") : artists_.at(pickArtist());
    const int medium = pickMedium(rnd_);
    const Medium& m = kMedia[medium];

    album_ = Album();
    album_.AlbumID = nextAlbumId_++;
    album_.Artist = artist;
    album_.Album = uniqueAlbumTitle(artist);
    album_.Media = QString::fromLatin1(m.name);
    if (rnd_.chance(0.92))
        album_.FileNumber = fitText(QStringLiteral("%1-%2").arg(QLatin1String(m.prefix)).arg(++fileCounters_[medium], 5, 10, QLatin1Char('0')),
                                    w.fileNumber);
    const double d = rnd_.unit();
    if (d < 0.75) {
        album_.ReleaseDate = dayFromYmd(rnd_.between(1950, 2023), rnd_.between(1, 12), rnd_.between(1, 28));
    } else if (d < 0.92) {
        album_.ReleaseDate = rnd_.between(1950, 2023);   // a plain year
    }
    album_.CategoryID = rnd_.chance(0.03) ? 0 : rnd_.between(1, int(categoryNames().size()));
    if (medium == 0)   // a disc identifier for CDs; an odd multiplier keeps them unique
        album_.CDIdentifier = QStringLiteral("%1").arg(quint32(quint32(album_.AlbumID) * 2654435761u), 8, 16, QLatin1Char('0'));
    if (rnd_.chance(0.05))
        album_.Notes = words::sentences(rnd_, rnd_.between(1, 4));

    const qint64 left = total_ - produced_;
    const int tracks = int(qMin<qint64>(rnd_.between(kFewestTracks, kMostTracks), left));
    albumSongs_.clear();
    albumSongs_.reserve(tracks);
    int total = 0;
    for (int k = 0; k < tracks; ++k) {
        Tunedeck s;
        s.Artist = various ? artists_.at(pickArtist()) : artist;
        s.Title = songTitle();
        s.Album = album_.Album;
        s.Media = album_.Media;
        s.FileNumber = album_.FileNumber;
        s.ReleaseDate = album_.ReleaseDate;
        s.CategoryID = qint32(album_.CategoryID);
        s.ChartNumber = rnd_.chance(0.04) ? rnd_.between(1, 100) : 0;
        s.TrackNumber = k + 1;
        if (m.sided)
            s.Side = k < (tracks + 1) / 2 ? QStringLiteral("A") : QStringLiteral("B");
        const int seconds = rnd_.chance(0.05) ? rnd_.between(420, 1200) : rnd_.between(95, 420);
        s.Time = timeFromParts(0, 0, seconds, rnd_.between(0, 99));
        total = addTimes(total, s.Time);
        if (rnd_.chance(0.03))
            s.UserDefinedKeyField = fitText(rnd_.chance(0.5) ? rnd_.pick(words::userKeys())
                                                             : QStringLiteral("K%1").arg(rnd_.below(10000), 4, 10, QLatin1Char('0')),
                                            w.userKey);
        if (rnd_.chance(0.05))
            s.AdditionalInformation1 = fitText(rnd_.chance(0.3) ? QLatin1String("Featuring ") + rnd_.pick(artists_)
                                                                : rnd_.pick(words::extraInfo()),
                                               w.info);
        if (rnd_.chance(0.02))
            s.AdditionalInformation2 = fitText(rnd_.pick(words::extraInfo()), w.info);
        if (rnd_.chance(0.01))
            s.AdditionalInformation3 = fitText(rnd_.pick(words::extraInfo()), w.info);
        s.BeatsPerMinute = rnd_.chance(0.08) ? rnd_.between(60, 200) : 0;
        if (rnd_.chance(0.3))
            s.Style = fitText(rnd_.pick(words::styles()), w.style);
        if (rnd_.chance(0.25))
            s.Composer = fitText(rnd_.chance(0.5) ? s.Artist : rnd_.pick(artists_), w.composer);
        if (rnd_.chance(0.2))
            s.LastPlayed = dayFromYmd(rnd_.between(2015, 2024), rnd_.between(1, 12), rnd_.between(1, 28));
        s.ID = nextSongId_++;
        s.AlbumID = album_.AlbumID;
        if (rnd_.chance(0.02))
            s.Recording = fitText(QStringLiteral("Recorded in %1, %2.").arg(rnd_.pick(words::places())).arg(rnd_.between(1950, 2023)),
                                  w.recording);
        if (rnd_.chance(0.02))
            s.PerformanceNotes = fitText(words::sentences(rnd_, rnd_.between(1, 2)), w.performance);
        if (rnd_.chance(0.05))
            s.Notes = fitText(words::sentences(rnd_, rnd_.chance(0.1) ? rnd_.between(6, 20) : rnd_.between(1, 3)), w.notes);
        albumSongs_ << s;
    }
    album_.TotalTime = total;
    albumPos_ = 0;
    albumPending_ = true;
}

int CatalogueGenerator::nextBatch(Batch& out, int maxSongs)
{
    out.clear();
    while (out.songs.size() < maxSongs && !atEnd()) {
        if (albumPos_ >= albumSongs_.size())
            startAlbum();
        if (albumPending_) {
            out.albums << album_;
            albumPending_ = false;
        }
        out.songs << albumSongs_.at(albumPos_++);
        ++produced_;
    }
    return int(out.songs.size());
}

} // namespace td::bench
