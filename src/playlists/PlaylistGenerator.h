#pragma once
// Builds a playlist of randomly drawn songs. Songs are drawn by record number (the song file's
// position, which grows as songs are added): only the drawn record is read, so a draw costs the
// same however large the catalogue is. A draw is kept when it passes the release-date bounds, the
// category and the weighting; the run stops when the playlist is full or after 1001 draws.

#include <QString>
#include <QtGlobal>
#include <random>

namespace td {

class Database;
struct Message;

// Uniform whole numbers in a closed range; tests give a scripted or seeded source.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual qint64 between(qint64 lo, qint64 hi) = 0;
};

class SeededRandom : public RandomSource {
public:
    explicit SeededRandom(quint64 seed = std::random_device {}())
        : engine_(seed)
    {
    }
    qint64 between(qint64 lo, qint64 hi) override
    {
        return hi <= lo ? lo : std::uniform_int_distribution<qint64>(lo, hi)(engine_);
    }

private:
    std::mt19937_64 engine_;
};

// The window's choices. Dates are stored values (day numbers, 0 for none).
struct GenerateChoices {
    int size = 0;                 // 0..99
    qint32 startDate = 0;
    qint32 endDate = 0;
    QString category;             // blank: every category
    QString weighting;            // one of weightingNames(); blank acts as "No Weighting"
};

enum class Weighting { None, RecentAddition, RecentRelease, OlderAddition, OlderRelease };

// "No Weighting", "Recent Addition", "Recent Release", "Older Addition", "Older Release".
const QStringList& weightingNames();
Weighting weightingOf(const QString& name);

struct GenerateResult {
    enum Outcome {
        Generated,      // the playlist exists (perhaps shorter than asked, perhaps empty)
        NoSongs,        // the song file is empty: "There are no songs to select from" was shown
        NoCategory,     // the chosen category does not exist (any more): nothing was created
        NotCreated,     // the playlist could not be added: its message was shown, no lines written
    };
    Outcome outcome = Generated;
    qint32 playlistId = 0;
    QString description;
    int placed = 0;
    int attempts = 0;
};

inline constexpr int kMostAttempts = 1001;
inline constexpr int kMostSongs = 99;
// "Recent" releases are those of the last 90 days (dates) or of the current year (bare years).
inline constexpr int kRecentDays = 90;

// The first free "Play List #n" from the highest playlist number + 1 upwards: neither the number
// nor the description may be taken. -1 on a read error.
qint32 nextGeneratedPlaylist(Database& db, QString* description);

// A starting date after the ending date would let no song through: the window refuses it.
bool datesInOrder(const GenerateChoices& choices);
Message dateOrderMessage();
// The category chosen was deleted after the list was filled.
Message missingCategoryMessage(const QString& category);

// Generates the playlist as the choices say; `today` is the day number the weightings measure
// from. Messages go through the database's message service.
GenerateResult generatePlaylist(Database& db, const GenerateChoices& choices, RandomSource& random, int today);

} // namespace td
