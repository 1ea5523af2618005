#include "cd/ui/IntegratedCDPlayer.h"

#include "albums/ui/AddWizard.h"
#include "albums/ui/UpdateAlbums.h"
#include "cd/CdAudio.h"
#include "cd/CdPlayer.h"
#include "cd/CompactDiscReader.h"
#include "cd/ui/CDSetup.h"
#include "common/AppState.h"
#include "common/ui/WidgetPosition.h"
#include "core/Messages.h"
#include "data/StandardWarning.h"
#include "data/TableHandle.h"
#include "explorer/ExplorerColumns.h"
#include "explorer/ui/ExplorerListView.h"
#include "explorer/ui/XploreProcReformat.h"
#include "songs/ui/UpdateSong.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace td {

namespace {

const QString kProcedure = QStringLiteral("IntegratedCDPlayer");

int trackNumberOf(const PageRow* row)
{
    static const int field = tableDef(TableId::Tunedeck).fieldIndex(QStringLiteral("TrackNumber"));
    return row ? row->row.value(field).toInt() : 0;
}

// The position of the album's song with `track` in track order, the next one after it when there
// is none, else the album's last; 0 when the album has no song, -1 on a read error (in
// db.lastError()).
qint64 albumTrackPosition(Database& db, qint32 albumId, int track)
{
    Table<Tunedeck> t(db);
    PageRead read;
    read.key = t.key(QStringLiteral("MUS:KeyAlbumID"));
    read.equalLeading = 1;
    read.limit = 1;
    QList<PageRow> rows;
    for (const bool forward : { true, false }) {
        read.forward = forward;
        read.from = Row { albumId, forward ? track : 255 };
        if (t.readPage(read, rows) != 0) {
            db.setLastError(t.lastError());
            return -1;
        }
        if (!rows.isEmpty())
            return rows.first().position;
    }
    return 0;
}

// The progress bar, whose whole width is the place to click to play from within the track.
class LocateBar : public QProgressBar {
public:
    using QProgressBar::QProgressBar;
    std::function<void(int x)> clicked;

protected:
    void mousePressEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton && clicked)
            clicked(int(e->position().x()));
        else
            QProgressBar::mousePressEvent(e);
    }
};

QPushButton* button(const QString& text, const QString& name, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QLabel* value(const QString& name, QWidget* parent)
{
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00")));
    return l;
}

} // namespace

QString cdPlayerListDesignedFormat()
{
    return explorerDesignedFormat(ExplorerKind::CdTracks);
}

QWidget* createIntegratedCDPlayer(AppState& state)
{
    auto* w = new IntegratedCDPlayerWindow(state);
    if (!w->isOpen()) {
        delete w;
        return nullptr;
    }
    return w;
}

IntegratedCDPlayerWindow::IntegratedCDPlayerWindow(AppState& state, QWidget* parent)
    : QWidget(parent)
    , state_(state)
    , client_(std::make_unique<CdAudioClient>(state.cd))
    , player_(std::make_unique<CdPlayer>(*client_, state.db, state.settings))
{
    setObjectName(kProcedure);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("CD Player"));
    build();

    if (!player_->open()) {
        state_.messages.show(QStringLiteral("Error"), cdNotAvailableText(state_.cd.drive()), Icon::Exclamation, Ok, Ok);
        finished_ = true;
        return;
    }
    opened_ = true;
    player_->onRefreshList = [this](bool force) { refreshList(force); };
    player_->onTrackChanged = [this](int track) { selectTrack(track); };
    // Asked outside the poll, so that no poll runs into the question.
    player_->onOfferAdd = [this] { QTimer::singleShot(0, this, &IntegratedCDPlayerWindow::offerAdd); };

    timer_ = new QTimer(this);
    // A new interval chosen later applies from the next opening; "Do Not Check" stops polls at once.
    timer_->setInterval(cdTimerInterval(state_.settings.CDTimer) * 10);
    connect(timer_, &QTimer::timeout, this, &IntegratedCDPlayerWindow::tick);
    timer_->start();
    refreshList(true);
    display();
}

IntegratedCDPlayerWindow::~IntegratedCDPlayerWindow()
{
    finish();
    // The list goes before the player it reports to.
    ExplorerListView* list = list_;
    list_ = nullptr;
    delete list;
}

void IntegratedCDPlayerWindow::build()
{
    // The explorer's list of the album's songs, in track order until a header is clicked; typing
    // locates by track number.
    list_ = new ExplorerListView(state_, ExplorerKind::CdTracks, this);
    list_->setObjectName(QStringLiteral("List"));
    list_->setFitColumns(true); // opens showing every column where the frame has room
    list_->view()->setToolTip(QStringLiteral("Click on header to change order or right-click for options"));
    list_->setTypedHook([this](const QString& text) {
        if (text.at(0).isDigit())
            typedTrack(text.at(0));
        return true;
    });
    connect(list_, &ExplorerListView::changeRequested, this, &IntegratedCDPlayerWindow::playSelected);
    connect(list_, &ExplorerListView::accepted, this, &IntegratedCDPlayerWindow::playSelected);
    connect(list_, &ExplorerListView::highlightChanged, this, [this] {
        if (editSong_)
            editSong_->setEnabled(list_->list().highlighted() != nullptr);
    });
    connect(list_, &ExplorerListView::readFailed, this, [this] {
        state_.db.saveError(list_->list().table().lastError());
        StandardWarning(state_.db, StdMsg::RecordRetrievalError, QStringLiteral("Tunedeck"));
    });

    auto prompt = [this](const QString& text, QLabel* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };

    // Current
    auto* current = new QGroupBox(QStringLiteral("Current"), this);
    auto* cg = new QGridLayout(current);
    track_ = value(QStringLiteral("Track"), current);
    trackPosition_ = value(QStringLiteral("TrackPosition"), current);
    cdPosition_ = value(QStringLiteral("CDPosition"), current);
    cg->addWidget(prompt(QStringLiteral("Track:"), track_), 0, 0);
    cg->addWidget(track_, 0, 1);
    cg->addWidget(prompt(QStringLiteral("Track Position:"), trackPosition_), 1, 0);
    cg->addWidget(trackPosition_, 1, 1);
    cg->addWidget(prompt(QStringLiteral("CD Position:"), cdPosition_), 2, 0);
    cg->addWidget(cdPosition_, 2, 1);
    editSong_ = button(QStringLiteral("&Edit"), QStringLiteral("EditSong"), current);
    editSong_->setToolTip(QStringLiteral("Edit the song now playing"));
    cg->addWidget(editSong_, 0, 2);

    // Total
    auto* total = new QGroupBox(QStringLiteral("Total"), this);
    auto* tg = new QGridLayout(total);
    trackCount_ = value(QStringLiteral("TracksOnCD"), total);
    trackLength_ = value(QStringLiteral("TrackLength"), total);
    cdLength_ = value(QStringLiteral("CDLength"), total);
    tg->addWidget(prompt(QStringLiteral("Tracks on CD:"), trackCount_), 0, 0);
    tg->addWidget(trackCount_, 0, 1);
    tg->addWidget(prompt(QStringLiteral("Track Length:"), trackLength_), 1, 0);
    tg->addWidget(trackLength_, 1, 1);
    tg->addWidget(prompt(QStringLiteral("CD Length:"), cdLength_), 2, 0);
    tg->addWidget(cdLength_, 2, 1);
    editAlbum_ = button(QStringLiteral("Edit"), QStringLiteral("EditAlbum"), total);
    editAlbum_->setToolTip(QStringLiteral("Edit the album"));
    tg->addWidget(editAlbum_, 0, 2);

    // Status
    auto* status = new QGroupBox(QStringLiteral("Status"), this);
    auto* sg = new QGridLayout(status);
    mode_ = value(QStringLiteral("Mode"), status);
    device_ = value(QStringLiteral("DeviceLabel"), status);
    event_ = value(QStringLiteral("EventLabel"), status);
    performance_ = value(QStringLiteral("Performance"), status);
    auto* picture = new QLabel(status);
    picture->setObjectName(QStringLiteral("Picture"));
    const QPixmap cd(QStringLiteral(":/images/playcd.svg"));
    if (!cd.isNull())
        picture->setPixmap(cd.scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    auto* set = button(QStringLiteral("Set"), QStringLiteral("Set"), status);
    set->setToolTip(QStringLiteral("How often the player asks the drive for its state"));
    sg->addWidget(picture, 0, 0, 2, 1);
    sg->addWidget(mode_, 0, 1);
    sg->addWidget(event_, 0, 2);
    sg->addWidget(device_, 1, 1);
    sg->addWidget(set, 1, 2);
    sg->addWidget(new QLabel(QStringLiteral("Performance:"), status), 2, 1);
    sg->addWidget(performance_, 2, 2);
    notice_ = new QLabel(status);
    notice_->setObjectName(QStringLiteral("PlaybackNotice"));
    notice_->setWordWrap(true);
    sg->addWidget(notice_, 3, 0, 1, 3);

    format_ = button(QStringLiteral("Format &BrowseBox"), QStringLiteral("FormatBrowseBox"), this);
    format_->setToolTip(QStringLiteral("Re-format Columns of BrowseBox"));
    connect(format_, &QPushButton::clicked, this, &IntegratedCDPlayerWindow::formatList);

    auto* bar = new LocateBar(this);
    bar->setObjectName(QStringLiteral("Progress"));
    bar->setRange(0, 100);
    bar->setTextVisible(false);
    bar->setCursor(Qt::PointingHandCursor);
    bar->clicked = [this](int x) { locateAt(x); };
    progress_ = bar;
    auto* hint = new QLabel(QStringLiteral("click here to locate within the track"), this);
    hint->setObjectName(QStringLiteral("LocateHint"));
    QFont small(QStringLiteral("Arial"));
    small.setPointSizeF(font().pointSizeF() * 0.85);
    hint->setFont(small);
    hint->setStyleSheet(QStringLiteral("color: grey"));

    auto* previous = button(QStringLiteral("Pre&vious"), QStringLiteral("Previous"), this);
    auto* next = button(QStringLiteral("&Next"), QStringLiteral("Next"), this);
    auto* back = button(QStringLiteral("Bac&k"), QStringLiteral("Back"), this);
    auto* forward = button(QStringLiteral("Fo&rward"), QStringLiteral("Forward"), this);
    auto* play = button(QStringLiteral("&Play"), QStringLiteral("Play"), this);
    auto* stop = button(QStringLiteral("&Stop"), QStringLiteral("Stop"), this);
    auto* pause = button(QStringLiteral("Pa&use"), QStringLiteral("Pause"), this);
    auto* close = button(QStringLiteral("Cl&ose"), QStringLiteral("Close"), this);

    connect(previous, &QPushButton::clicked, this, [this] { runAfterRead(&CdPlayer::previous); });
    connect(next, &QPushButton::clicked, this, [this] { runAfterRead(&CdPlayer::next); });
    connect(back, &QPushButton::clicked, this, [this] { runAfterRead(&CdPlayer::back); });
    connect(forward, &QPushButton::clicked, this, [this] { runAfterRead(&CdPlayer::forward); });
    connect(play, &QPushButton::clicked, this, [this] { runAfterRead(&CdPlayer::play); });
    connect(stop, &QPushButton::clicked, this, [this] { runAfterRead(&CdPlayer::stop); });
    connect(pause, &QPushButton::clicked, this, [this] { runAfterRead(&CdPlayer::pause); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(editSong_, &QPushButton::clicked, this, &IntegratedCDPlayerWindow::editSong);
    connect(editAlbum_, &QPushButton::clicked, this, &IntegratedCDPlayerWindow::editAlbum);
    connect(set, &QPushButton::clicked, this, &IntegratedCDPlayerWindow::setup);

    auto* left = new QVBoxLayout;
    left->addWidget(current);
    left->addWidget(total);
    left->addWidget(status);
    left->addStretch(1);

    auto* navigation = new QHBoxLayout;
    for (QPushButton* b : { previous, next, back, forward })
        navigation->addWidget(b);
    auto* transport = new QHBoxLayout;
    for (QPushButton* b : { play, stop, pause, close })
        transport->addWidget(b);

    auto* right = new QVBoxLayout;
    right->addWidget(list_, 1);
    right->addWidget(format_, 0, Qt::AlignRight);
    right->addWidget(progress_);
    right->addWidget(hint, 0, Qt::AlignHCenter);
    right->addLayout(navigation);
    right->addLayout(transport);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(right, 1);

    setMinimumSize(360, 300);
    resize(760, 420);
}

void IntegratedCDPlayerWindow::tick()
{
    if (asking_ || finished_)
        return;
    player_->timerTick();
    display();
}

void IntegratedCDPlayerWindow::display()
{
    const CdPlayer& p = *player_;
    track_->setText(QString::number(p.currentTrack()));
    trackPosition_->setText(cdTimeText(p.positionInTrack()));
    cdPosition_->setText(cdTimeText(p.cdPosition()));
    trackCount_->setText(QString::number(p.trackCount()));
    trackLength_->setText(cdTimeText(p.trackLength()));
    cdLength_->setText(cdTimeText(p.cdLength()));
    mode_->setText(p.mode());
    device_->setText(p.deviceLabel());
    event_->setText(p.eventLabel());
    performance_->setText(QString::number(p.performance()));
    progress_->setValue(p.percent());
    if (const QString notice = state_.cd.drive().playbackNotice(); !notice.isEmpty())
        notice_->setText(notice);
    setWindowTitle(p.title());
    editAlbum_->setEnabled(p.album().AlbumID != 0);
    editSong_->setEnabled(list_->list().highlighted() != nullptr);
}

void IntegratedCDPlayerWindow::refreshList(bool)
{
    if (!list_)
        return;
    const qint32 id = player_->album().AlbumID;
    ExplorerList& l = list_->list();
    if (id != listAlbumId_) {
        listAlbumId_ = id;
        // Without a recognised album the list is empty (songs filed under no album are not a disc).
        if (id == 0)
            l.setCondition(QStringLiteral("0"));
        else
            l.setCondition(QStringLiteral("\"Tunedeck\".\"AlbumID\" = ?"), { id });
        list_->run(l.first());
    } else {
        // The same album read again: the selected song stays selected wherever it now stands.
        list_->rebuild();
    }
    editSong_->setEnabled(l.highlighted() != nullptr);
}

void IntegratedCDPlayerWindow::selectTrack(int track)
{
    if (list_ && player_->album().AlbumID == listAlbumId_)
        showTrack(track);
}

void IntegratedCDPlayerWindow::showTrack(int track)
{
    const qint64 position = albumTrackPosition(state_.db, listAlbumId_, track);
    if (position < 0) {
        StandardWarning(state_.db, StdMsg::RecordRetrievalError, QStringLiteral("Tunedeck"));
        return;
    }
    if (position > 0)
        list_->rebuild(position);
}

void IntegratedCDPlayerWindow::playSelected()
{
    if (const PageRow* h = list_->list().highlighted()) {
        player_->playTrack(trackNumberOf(h));
        display();
    }
}

void IntegratedCDPlayerWindow::typedTrack(QChar c)
{
    const PageRow* h = list_->list().highlighted();
    if (h && QString::number(trackNumberOf(h)).startsWith(c))
        list_->run(list_->list().moveHighlight(1));
    else
        showTrack(c.digitValue());
}

void IntegratedCDPlayerWindow::runAfterRead(void (CdPlayer::*action)())
{
    // The selected row is read again first, so that it shows what is stored now.
    refreshList();
    (player_.get()->*action)();
    display();
}

void IntegratedCDPlayerWindow::locateAt(int x)
{
    if (progress_->width() <= 0)
        return;
    player_->locate(x * 100 / progress_->width());
    display();
}

void IntegratedCDPlayerWindow::editSong()
{
    refreshList();
    const PageRow* h = list_->list().highlighted();
    if (!h)
        return;
    Table<Tunedeck> song(state_.db);
    if (song.fetch(h->position) != 0) {
        state_.db.saveError(song.lastError());
        StandardWarning(state_.db, StdMsg::RecordRetrievalError, QStringLiteral("Tunedeck"));
        return;
    }
    UpdateSongsForAlbum(state_, Request::Change, song.rec, player_->album(), this,
        [this](Response, const Tunedeck&) { refreshList(true); });
}

void IntegratedCDPlayerWindow::editAlbum()
{
    if (player_->album().AlbumID == 0)
        return;
    UpdateAlbums(state_, Request::Change, player_->album(), this, [this](Response r, const Album&) {
        // A changed title or identifier shows at the next poll.
        if (r == Response::Completed)
            player_->requestIdentify();
        refreshList(true);
    });
}

void IntegratedCDPlayerWindow::formatList()
{
    XploreProcReformat(*list_, this, [this] {
        list_->rebuild();
        list_->view()->setFocus();
    });
}

void IntegratedCDPlayerWindow::setup()
{
    CDSetup(state_, this, [this] { refreshList(); });
}

void IntegratedCDPlayerWindow::offerAdd()
{
    if (finished_)
        return;
    asking_ = true;
    const int answer = state_.messages.show(QStringLiteral("New CD Found"),
        QStringLiteral("Add this CD to the database"), Icon::Question, Yes | No, Yes);
    asking_ = false;
    if (answer != Yes) {
        player_->declineAdd();
        display();
        return;
    }
    // The compilation wizard starts by reading the disc when it sees this mark.
    state_.startedFromCdPlayer = true;
    player_->beginAdd();
    display();
    auto added = [this](Response) {
        // A wizard that does not read the mark must not leave it for the next one.
        state_.startedFromCdPlayer = false;
        if (!player_->endAdd()) {
            state_.messages.show(QStringLiteral("Error"),
                QStringLiteral("CD player not available.|You may need to eject and re-insert the CD."),
                Icon::Exclamation, Ok, Ok);
            close();
            return;
        }
        display();
    };
    if (state_.settings.DefaultWizardCompilation)
        AddCompilation(state_, this, added);
    else
        AddSingleArtist(state_, this, added);
}

void IntegratedCDPlayerWindow::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && opened_ && !finished_)
        refreshList();
}

void IntegratedCDPlayerWindow::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    // Placed once it is shown, inside the frame's window area when it has one.
    if (!positioned_) {
        positioned_ = true;
        restorePosition(this, kProcedure);
    }
}

void IntegratedCDPlayerWindow::closeEvent(QCloseEvent* e)
{
    finish();
    QWidget::closeEvent(e);
}

void IntegratedCDPlayerWindow::finish()
{
    if (finished_)
        return;
    finished_ = true;
    if (timer_)
        timer_->stop();
    if (list_)
        list_->saveFormat();
    savePosition(this, kProcedure);
    player_->close();
}

} // namespace td
