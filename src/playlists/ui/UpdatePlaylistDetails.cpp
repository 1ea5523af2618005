#include "playlists/ui/UpdatePlaylistDetails.h"

#include "albums/ui/SelectFileNumber.h"
#include "common/AppState.h"
#include "common/ui/FormHost.h"
#include "common/ui/WidgetPosition.h"
#include "playlists/PlaylistLineForm.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace td {

namespace {

const QString kProcedure = QStringLiteral("UpdatePlaylistDetails");

} // namespace

UpdatePlaylistDetailsDialog::UpdatePlaylistDetailsDialog(std::unique_ptr<PlaylistLineForm> form, QWidget* parent)
    : QDialog(parent)
    , form_(std::move(form))
{
    setObjectName(kProcedure);
    setWindowTitle(form_->request() == Request::Insert ? QStringLiteral("Adding a Playlist Detail")
                                                       : QStringLiteral("Changing a Playlist Detail"));
    setSizeGripEnabled(true);
    auto* tabs = new QTabWidget(this);
    auto* general = new QWidget;
    auto* select = new QPushButton(QStringLiteral("&Select Song"), general);
    select->setObjectName(QStringLiteral("SelectSong"));
    select->setAutoDefault(false);
    connect(select, &QPushButton::clicked, this, &UpdatePlaylistDetailsDialog::selectSong);
    artist_ = new QLineEdit(general);
    artist_->setObjectName(QStringLiteral("Artist"));
    artist_->setReadOnly(true);
    title_ = new QLineEdit(general);
    title_->setObjectName(QStringLiteral("Title"));
    title_->setReadOnly(true);
    notes_ = new QLineEdit(general);
    notes_->setObjectName(QStringLiteral("PlaylistNotes"));
    notes_->setMaxLength(40);
    notes_->setMinimumWidth(notes_->fontMetrics().averageCharWidth() * 40);
    auto* fields = new QFormLayout(general);
    fields->addRow(QString(), select);
    auto label = [general](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, general);
        l->setBuddy(buddy);
        return l;
    };
    fields->addRow(label(QStringLiteral("&Artist:"), artist_), artist_);
    fields->addRow(label(QStringLiteral("&Title:"), title_), title_);
    fields->addRow(label(QStringLiteral("&Playlist Notes:"), notes_), notes_);
    tabs->addTab(general, QStringLiteral("General"));

    auto* ok = new QPushButton(QStringLiteral("&Ok"), this);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Cancel"));
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &UpdatePlaylistDetailsDialog::okPressed);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addLayout(buttons);

    notes_->setText(form_->line().PlaylistNotes);
    showSong();
    // A new line starts with its song: the picker is a key press away.
    select->setFocus();
}

UpdatePlaylistDetailsDialog::~UpdatePlaylistDetailsDialog() = default;

void UpdatePlaylistDetailsDialog::showSong()
{
    const LineSong& s = form_->song();
    const bool chosen = form_->line().ID != 0;
    artist_->setText(s.found ? s.artist : (chosen ? missingSongText() : QString()));
    title_->setText(s.found ? s.title : QString());
}

void UpdatePlaylistDetailsDialog::selectSong()
{
    QPointer<UpdatePlaylistDetailsDialog> self(this);
    SelectFileNumber(form_->state(), this, [self](const Tunedeck* chosen) {
        if (!self || !chosen)
            return;
        if (chosen->ID == 0) {
            self->form_->state().messages.show(QStringLiteral("Select Song"), unnumberedSongText(), Icon::Exclamation);
            return;
        }
        self->form_->chooseSong(chosen->ID);
        self->showSong();
        self->notes_->setFocus();
    });
}

void UpdatePlaylistDetailsDialog::okPressed()
{
    form_->line().PlaylistNotes = notes_->text();
    if (form_->save())
        accept();
}

void UpdatePlaylistDetailsDialog::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!positioned_) {
        positioned_ = true;
        restorePosition(this, kProcedure);
    }
}

void UpdatePlaylistDetailsDialog::done(int r)
{
    if (!finished_) {
        finished_ = true;
        if (positioned_)
            savePosition(this, kProcedure);
        form_->close();
    }
    QDialog::done(r);
}

void UpdatePlaylistDetails(AppState& state, Request request, qint32 playlistId, qint64 position, QWidget* caller,
                           PlaylistLineAnswer answered)
{
    auto form = std::make_unique<PlaylistLineForm>(state, request, playlistId, position);
    if (!form->open()) {
        form->close();
        if (answered)
            answered(Response::Cancelled, PlaylistDetails());
        return;
    }
    auto* dialog = new UpdatePlaylistDetailsDialog(std::move(form));
    openForm(caller, dialog, [dialog, answered](int) {
        PlaylistLineForm& f = dialog->form();
        if (answered)
            answered(f.response(), f.line());
    });
}

} // namespace td
