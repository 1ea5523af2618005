#pragma once
// The integrated CD player without its window: what the player believes about the drive and the
// disc, the poll that keeps that up to date, the buttons' commands, and the identification of the
// disc as an album of the catalogue by its disc identifier (ALB:KeyCDIdentifier).
//
// All traffic goes through SendMciCommand on the player's own client, so that several players (and
// the CD reader of a form or wizard) can have the shared device open at once. Positions and
// lengths are hundredths of a second; a reply that is not a number reads as 0.

#include "data/Records.h"

#include <QString>
#include <functional>

namespace td {

class CdAudioClient;
class Database;
struct GlobalSettings;

inline constexpr int kCdPlayerDefaultInterval = 150; // hundredths of a second

// A position or length as the player shows it: hh:mm:ss with leading zeros and colons dropped
// while the text is five or more long ("3:45", "13:45", "1:02:03"); 0 gives an empty text.
QString cdTimeText(qint64 hundredths);

// The timer interval a player opened with this CDTimer uses: the setting above 10, else 150.
int cdTimerInterval(int cdTimer);

class CdPlayer {
public:
    CdPlayer(CdAudioClient& client, Database& db, const GlobalSettings& settings);
    ~CdPlayer();
    CdPlayer(const CdPlayer&) = delete;
    CdPlayer& operator=(const CdPlayer&) = delete;

    // --- what the window reacts to (all optional) ---
    // The list should show the album in album() again (force: even if it is the same album).
    std::function<void(bool force)> onRefreshList;
    // A track change while playing: the list selects this track of the album.
    std::function<void(int track)> onTrackChanged;
    // An unrecognised disc: ask the user whether to add it, then call declineAdd() or the add
    // path (beginAdd(), the wizard, endAdd()). Not asked again while an answer is awaited.
    std::function<void()> onOfferAdd;

    // --- opening and closing ---
    // Opens the device shareable and sets the tmsf format; false when the device cannot be had.
    bool open();
    // Closes the device if this player has it open.
    void close();

    // --- the timer ---
    // Polls when CDTimer is 1 or more; does nothing at 0.
    void timerTick();
    void poll();

    // --- the buttons ---
    void play();
    void playTrack(int track); // the list's accepted row
    void stop();
    void pause();
    void next();
    void previous();
    void forward() { skip(10000); }
    void back() { skip(-10000); }
    // A click at `percent` (0..100) of the progress bar's width.
    void locate(int percent);

    // The album may have changed (edited in its form): identify the disc again at the next poll.
    void requestIdentify() { identifyPending_ = true; }

    // --- adding an unrecognised disc ---
    void declineAdd();
    // Stops play and closes the device for the wizard that reads the disc.
    void beginAdd();
    // Opens the device again after the wizard; false when it cannot be had (the window closes).
    bool endAdd();

    // --- state, as the window shows it ---
    int currentTrack() const { return currentTrack_; }
    int trackCount() const { return trackCount_; }
    qint64 trackStart() const { return trackStart_; }
    qint64 trackLength() const { return trackLength_; }
    qint64 positionInTrack() const { return positionInTrack_; }
    qint64 cdPosition() const { return cdPosition_; }
    qint64 cdLength() const { return cdLength_; }
    int percent() const;
    const QString& mode() const { return mode_; }
    const QString& eventLabel() const { return eventLabel_; }
    const QString& deviceLabel() const { return deviceLabel_; }
    QString title() const { return title_; }
    int performance() const { return performance_; }
    bool deviceOpen() const { return deviceOpen_; }
    bool identifyPending() const { return identifyPending_; }
    bool pauseFlag() const { return pauseFlag_; }
    bool noDetection() const { return noDetection_; }
    const QString& lastIdentifier() const { return lastIdentifier_; }
    // The recognised album (cleared for an unrecognised disc; CDIdentifier "0" without a disc).
    Album& album() { return album_; }
    const Album& album() const { return album_; }
    // The last replies not used as numbers; nothing shows them.
    const QString& lastReply() const { return lastReply_; }

    CdAudioClient& client() { return client_; }

private:
    QString send(const QString& command);
    long number(const QString& command);
    void initialise();
    void synchronise();
    void readPosition();
    void identify();
    bool hasAudioTrack();
    void skip(int ms);

    CdAudioClient& client_;
    Database& db_;
    const GlobalSettings& settings_;
    Album album_;

    int currentTrack_ = 0; // 0..255 as the drive reports it
    int trackCount_ = 0;
    qint64 trackStart_ = 0;
    qint64 trackLength_ = 0;
    qint64 positionInTrack_ = 0;
    qint64 cdPosition_ = 0;
    qint64 cdLength_ = 0;
    QString mode_;
    QString previousMode_;
    int lastSeenTrack_ = 0;
    QString eventLabel_;
    QString deviceLabel_;
    QString title_ = QStringLiteral("CD Player");
    bool deviceOpen_ = false;
    bool identifyPending_ = false;
    bool pauseFlag_ = false;
    bool noDetection_ = false;
    bool offering_ = false; // the add question is open
    QString lastIdentifier_;
    int performance_ = 0;
    QString lastReply_;
};

} // namespace td
