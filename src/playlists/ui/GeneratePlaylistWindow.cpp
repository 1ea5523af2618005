#include "playlists/ui/GeneratePlaylistWindow.h"

#include "common/AppState.h"
#include "common/ui/WidgetPosition.h"
#include "core/DayTime.h"
#include "core/ListFormat.h"
#include "core/Messages.h"
#include "core/Picture.h"
#include "songs/CategoryLookup.h"
#include "songs/SongForm.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace td {

namespace {
const QString kProcedure = QStringLiteral("GeneratePlaylist");
}

GeneratePlaylistWindow::GeneratePlaylistWindow(AppState& state, QWidget* parent)
    : QDialog(parent)
    , state_(state)
    , random_(std::make_unique<SeededRandom>())
{
    setObjectName(kProcedure);
    setWindowTitle(QStringLiteral("Generate Play List"));
    datePicture_ = applyDatePicture(QStringLiteral("@d17"), state_.settings.DateFormat);

    size_ = new QSpinBox(this);
    size_->setObjectName(QStringLiteral("PlayListSize"));
    size_->setRange(0, kMostSongs);
    size_->setValue(0);
    start_ = new QLineEdit(this);
    start_->setObjectName(QStringLiteral("StartingReleaseDate"));
    end_ = new QLineEdit(this);
    end_->setObjectName(QStringLiteral("EndingReleaseDate"));
    category_ = new QComboBox(this);
    category_->setObjectName(QStringLiteral("Category"));
    category_->setMinimumContentsLength(30);
    category_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    fillCategories();

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Play List Size (Number of Songs):"), size_);
    fields->addRow(QStringLiteral("Starting Release Date:"), start_);
    fields->addRow(QStringLiteral("Ending Release Date:"), end_);
    fields->addRow(QStringLiteral("Category (Blank for All):"), category_);

    auto* group = new QGroupBox(QStringLiteral("Weighting"), this);
    auto* radios = new QVBoxLayout(group);
    weighting_ = new QButtonGroup(this);
    for (int i = 0; i < weightingNames().size(); ++i) {
        auto* r = new QRadioButton(weightingNames().at(i), group);
        r->setObjectName(QString(weightingNames().at(i)).remove(QLatin1Char(' ')));
        weighting_->addButton(r, i);
        radios->addWidget(r);
    }
    weighting_->button(0)->setChecked(true);

    auto* ok = new QPushButton(QStringLiteral("&Ok"), this);
    ok->setObjectName(QStringLiteral("Ok"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Cancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(group);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &GeneratePlaylistWindow::okPressed);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    size_->setFocus();
    size_->selectAll();
}

GeneratePlaylistWindow::~GeneratePlaylistWindow() = default;

void GeneratePlaylistWindow::fillCategories()
{
    const QString kept = category_->currentText();
    category_->clear();
    category_->addItem(QString());
    QList<CategoryEntry> list;
    if (loadCategoryList(state_.db, list))
        for (const CategoryEntry& c : list)
            category_->addItem(c.name);
    category_->setCurrentIndex(qMax(0, category_->findText(kept)));
}

bool GeneratePlaylistWindow::readDate(QLineEdit* entry, qint32* value)
{
    const Picture picture(datePicture_);
    const Picture::Input in = parseDateValue(picture, entry->text());
    const qint64 v = in.value.toLongLong();
    if (!in.ok || v < 0 || v > maxDay()) {
        state_.messages.show(invalidDateMessage(entry->text(), formatDateValue(picture, dayFromYmd(1997, 10, 31))));
        entry->setFocus();
        entry->selectAll();
        return false;
    }
    *value = qint32(v);
    entry->setText(v ? formatDateValue(picture, v) : QString());
    return true;
}

void GeneratePlaylistWindow::okPressed()
{
    GenerateChoices choices;
    size_->interpretText();
    choices.size = size_->value();
    if (!readDate(start_, &choices.startDate) || !readDate(end_, &choices.endDate))
        return;
    if (!datesInOrder(choices)) {
        state_.messages.show(dateOrderMessage());
        start_->setFocus();
        start_->selectAll();
        return;
    }
    choices.category = category_->currentText();
    choices.weighting = weightingNames().value(weighting_->checkedId());

    result_ = generatePlaylist(state_.db, choices, *random_, today());
    switch (result_.outcome) {
    case GenerateResult::NoCategory:
        state_.messages.show(missingCategoryMessage(choices.category));
        fillCategories();
        category_->setFocus();
        return;
    case GenerateResult::Generated:
        generated_ = true;
        accept();
        return;
    case GenerateResult::NoSongs:
    case GenerateResult::NotCreated:
        reject();
        return;
    }
}

void GeneratePlaylistWindow::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!positioned_) {
        positioned_ = true;
        restorePosition(this, kProcedure);
    }
}

void GeneratePlaylistWindow::done(int r)
{
    if (positioned_)
        savePosition(this, kProcedure);
    positioned_ = false;
    QDialog::done(generated_ ? QDialog::Accepted : r);
}

} // namespace td
