#pragma once
// "Tracks": the form that adds or changes one track of an add wizard. The single-artist wizard's
// form (UpdateAddWizardNoArtist) has title, time and track; the compilation's (UpdateAddWizard) an
// artist too. An add stores its row as the form opens, under the next track number, and removes it
// again when the form is cancelled.

#include "common/Request.h"
#include "data/Records.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QSpinBox;

namespace td {

class AddWizardTracks;

class UpdateAddWizardDialog : public QDialog {
    Q_OBJECT
public:
    // `lastSaved` is what Ctrl+` brings back (the track saved last in this wizard); it is updated
    // when this form saves.
    UpdateAddWizardDialog(AddWizardTracks& tracks, Request request, qint64 position, bool withArtist,
        AddWizard* lastSaved, QWidget* parent = nullptr);

    // Insert: stores the new row (numbering with its retries); change: reads the row. False when
    // the form cannot open (its message has been shown).
    bool prepare();
    qint64 position() const { return position_; }
    QString procedure() const;

    void done(int r) override;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void showRow();
    bool store();       // the controls into the row; false (message shown) when the time does not read
    void okPressed();
    void history();

    AddWizardTracks& tracks_;
    Request request_;
    qint64 position_;
    bool withArtist_;
    AddWizard* lastSaved_;
    AddWizard row_;
    AddWizard opening_;
    bool added_ = false;
    bool saved_ = false;
    bool finished_ = false;
    bool positioned_ = false;
    QLineEdit* artist_ = nullptr;
    QLineEdit* title_ = nullptr;
    QLineEdit* time_ = nullptr;
    QSpinBox* track_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

} // namespace td
