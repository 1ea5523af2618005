#include "exchange/ui/ImportWindow.h"

#include "common/AppState.h"
#include "common/ui/FormHost.h"
#include "common/ui/ProgressWindow.h"
#include "core/Messages.h"
#include "exchange/ImportRun.h"
#include "exchange/ui/AskPicture.h"
#include "exchange/ui/ExchangeWidgets.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace td {

namespace {

const QString kImportFormat = QStringLiteral("42L(1)|M~Import Field~S(75)@s50@40L(1)|M~Picture~S(45)@s30@150L(1)~Value~S(300)@s255@");
const QString kTargetFormat = QStringLiteral("65L(1)M~Target Field~S(75)@s50@8C~=~@s1@65L(1)~Import Field~S(75)@s50@");

QTableWidgetItem* cell(const QString& text, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(align);
    return item;
}

// The run owns the file it reads: the reader is released after the run.
class ImportJob : public BatchRun {
public:
    ImportJob(Database& db, std::unique_ptr<CsvReader> reader, ImportOptions options)
        : reader_(std::move(reader))
        , run_(db, *reader_, std::move(options))
    {
    }
    bool start() override { return run_.start(); }
    bool step(int count) override
    {
        if (isCancelled())
            run_.cancel();
        return run_.step(count);
    }
    void finish() override { run_.finish(); }
    int percent() const override { return run_.percent(); }
    int sliceSize() const override { return run_.sliceSize(); }
    QString caption() const override { return run_.caption(); }
    QString taskText() const override { return run_.taskText(); }

private:
    std::unique_ptr<CsvReader> reader_;
    ImportRun run_;
};

struct ImportCall {
    AppState& state;
    QWidget* caller;
    std::function<void(Response)> done;
    std::function<void()> help;

    void end(Response r) const
    {
        if (done)
            done(r);
    }
};

void openImportWindow(const std::shared_ptr<ImportCall>& call, std::unique_ptr<CsvReader> reader,
                      QList<ImportField> fields)
{
    auto* dialog = new ImportDialog(call->state.messages, std::move(reader), std::move(fields), call->help);
    openForm(call->caller, dialog, [call, dialog](int result) {
        if (result != QDialog::Accepted) {
            call->end(Response::Cancelled);
            return;
        }
        ImportOptions options { dialog->fields(), dialog->assignment(), dialog->stripHeader(), dialog->linkSongs() };
        auto job = std::make_shared<ImportJob>(call->state.db, dialog->takeReader(), std::move(options));
        if (!ProgressWindow::start(job, call->caller, [call] { call->end(Response::Completed); }))
            call->end(Response::Completed);
    });
}

// The file dialog, shown again after a file that cannot be opened or is empty.
void askImportFile(const std::shared_ptr<ImportCall>& call)
{
    QFileDialog* dialog = csvFileDialog(csv::kImportDialogTitle, csv::kImportFilter, false);
    openForm(call->caller, dialog, [call, dialog](int result) {
        const QString file = dialog->selectedFiles().value(0);
        if (result != QDialog::Accepted || file.isEmpty()) {
            call->end(Response::Cancelled);
            return;
        }
        auto reader = std::make_unique<CsvReader>(call->state.messages);
        if (reader->open(file) != CsvReader::OpenResult::Opened) {
            askImportFile(call);
            return;
        }
        QList<ImportField> fields;
        if (!buildImportFields(*reader, fields)) {
            call->end(Response::Cancelled);
            return;
        }
        openImportWindow(call, std::move(reader), std::move(fields));
    });
}

} // namespace

ImportDialog::ImportDialog(Messages& messages, std::unique_ptr<CsvReader> reader, QList<ImportField> fields,
                           std::function<void()> help)
    : messages_(messages)
    , reader_(std::move(reader))
    , fields_(std::move(fields))
{
    setObjectName(QStringLiteral("AssignImportFields"));
    setWindowTitle(importtext::kWindowTitle);

    importList_ = exchangeList(QStringLiteral("ImportFields"),
                               {QStringLiteral("Import Field"), QStringLiteral("Picture"), QStringLiteral("Value")},
                               kImportFormat);
    targetList_ = exchangeList(QStringLiteral("TargetFields"),
                               {QStringLiteral("Target Field"), QStringLiteral("="), QStringLiteral("Import Field")},
                               kTargetFormat);
    importList_->setRowCount(int(fields_.size()));
    for (int row = 0; row < fields_.size(); ++row)
        fillImportRow(row);
    targetList_->setRowCount(int(importTargets().size()));
    for (int row = 0; row < importTargets().size(); ++row)
        fillTargetRow(row);
    fitColumns(importList_);
    fitColumns(targetList_);

    next_ = exchangeButton(QStringLiteral("&Next"), this);
    recNo_ = new QLabel;
    recNo_->setObjectName(QStringLiteral("RecNo"));
    recNo_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    recNo_->setFrameShape(QFrame::Panel);
    recNo_->setFrameShadow(QFrame::Sunken);
    recNo_->setText(QString::number(record_));
    QPushButton* pictureButton = exchangeButton(QStringLiteral("&Picture"), this);
    QPushButton* assignButton = exchangeButton(QStringLiteral("&Assign"), this);
    // "Auto" takes the t: the u belongs to "&Unassign", and one key must press one button.
    auto_ = exchangeButton(QStringLiteral("Au&to"), this);
    QPushButton* unassignButton = exchangeButton(QStringLiteral("&Unassign"), this);
    strip_ = new QCheckBox(importtext::kStripHeader);
    strip_->setObjectName(QStringLiteral("StripHeader"));
    QPushButton* ok = exchangeButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    QPushButton* cancel = exchangeButton(QStringLiteral("&Cancel"), this);
    QPushButton* helpButton = exchangeButton(QStringLiteral("Help"), this);
    helpButton->setEnabled(bool(help));

    auto* middle = new QVBoxLayout;
    middle->addWidget(next_);
    auto* rec = new QHBoxLayout;
    rec->addWidget(new QLabel(QStringLiteral("Rec#")));
    rec->addWidget(recNo_, 1);
    middle->addLayout(rec);
    middle->addSpacing(12);
    for (QPushButton* b : {pictureButton, assignButton, auto_, unassignButton})
        middle->addWidget(b);
    middle->addStretch();

    auto* lists = new QHBoxLayout;
    lists->addWidget(importList_, 3);
    lists->addLayout(middle);
    lists->addWidget(targetList_, 2);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(strip_);
    bottom->addStretch();
    for (QPushButton* b : {ok, cancel, helpButton})
        bottom->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addLayout(bottom);

    // Tab walks the window as it reads: the file's fields, their buttons, the song's fields, the rest.
    const QList<QWidget*> order {importList_, next_, pictureButton, assignButton, auto_, unassignButton,
                                 targetList_, strip_, ok, cancel, helpButton};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));

    connect(next_, &QPushButton::clicked, this, &ImportDialog::next);
    connect(pictureButton, &QPushButton::clicked, this, &ImportDialog::picture);
    connect(assignButton, &QPushButton::clicked, this, &ImportDialog::assign);
    connect(auto_, &QPushButton::clicked, this, &ImportDialog::autoAssign);
    connect(unassignButton, &QPushButton::clicked, this, &ImportDialog::unassign);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(helpButton, &QPushButton::clicked, this, [help] {
        if (help)
            help();
    });
    connect(importList_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &ImportDialog::importRowChanged);
    connect(targetList_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &ImportDialog::targetRowChanged);

    // The bytes the lines shown so far took: "&Next" is disabled once they reach the end of the
    // file (and in any case when a read finds nothing more).
    if (reader_) {
        reader_->rewind();
        consumed_ = reader_->readLine();
        next_->setEnabled(consumed_ > 0 && consumed_ < reader_->size());
    }
    if (!fields_.isEmpty())
        importList_->setCurrentCell(0, 0);
    targetList_->setCurrentCell(0, 0);
    importList_->setFocus();
    resize(sizeHint().expandedTo(QSize(900, 500)));
}

ImportDialog::~ImportDialog() = default;

std::unique_ptr<CsvReader> ImportDialog::takeReader()
{
    return std::move(reader_);
}

bool ImportDialog::stripHeader() const
{
    return strip_->isChecked();
}

QPushButton* ImportDialog::button(const QString& objectName) const
{
    return findChild<QPushButton*>(objectName);
}

void ImportDialog::fillImportRow(int row)
{
    const ImportField& f = fields_.at(row);
    importList_->setItem(row, 0, cell(f.name));
    importList_->setItem(row, 1, cell(importTypeText(f.picture)));
    importList_->setItem(row, 2, cell(f.sample));
}

void ImportDialog::fillTargetRow(int row)
{
    targetList_->setItem(row, 0, cell(importTargets().at(row)));
    targetList_->setItem(row, 1, cell(assignment_.mark(row), Qt::AlignCenter));
    targetList_->setItem(row, 2, cell(assignment_.field.at(row)));
}

// The next line's values; "Auto" works on the first line only.
void ImportDialog::next()
{
    const qint64 bytes = reader_ ? reader_->readLine() : 0;
    if (bytes <= 0) {
        next_->setEnabled(false);
        importList_->setFocus();
        return;
    }
    consumed_ += bytes;
    if (consumed_ >= reader_->size()) {
        next_->setEnabled(false);
        importList_->setFocus();
    }
    takeSamples(*reader_, fields_);
    ++record_;
    recNo_->setText(QString::number(record_));
    for (int row = 0; row < fields_.size(); ++row)
        fillImportRow(row);
    auto_->setEnabled(false);
}

void ImportDialog::picture()
{
    const int row = importList_->currentRow();
    if (row < 0 || row >= fields_.size())
        return;
    ImportExport_AskPicture(this, messages_, fields_.at(row).picture, [this, row](const QString& answer) {
        if (answer.isEmpty())
            return;
        fields_[row].picture = answer;
        fillImportRow(row);
        fitColumns(importList_);
    });
}

void ImportDialog::assign()
{
    const int field = importList_->currentRow();
    const int target = targetList_->currentRow();
    if (field < 0 || field >= fields_.size() || target < 0)
        return;
    assignment_.assign(target, fields_.at(field).name);
    fillTargetRow(target);
}

void ImportDialog::unassign()
{
    const int target = targetList_->currentRow();
    if (target < 0)
        return;
    assignment_.unassign(target);
    fillTargetRow(target);
}

void ImportDialog::autoAssign()
{
    td::autoAssign(fields_, assignment_);
    for (int row = 0; row < importTargets().size(); ++row)
        fillTargetRow(row);
    strip_->setChecked(true);
}

// A row chosen in one list shows its partner in the other; the partner shown does not in turn move
// the first list (several targets may share one import field).
void ImportDialog::importRowChanged()
{
    const int row = importList_->currentRow();
    if (syncing_ || row < 0 || row >= fields_.size())
        return;
    const int target = assignment_.targetOf(fields_.at(row).name);
    if (target < 0)
        return;
    syncing_ = true;
    targetList_->setCurrentCell(target, 0);
    targetList_->scrollToItem(targetList_->item(target, 0));
    syncing_ = false;
}

void ImportDialog::targetRowChanged()
{
    const int target = targetList_->currentRow();
    if (syncing_ || target < 0)
        return;
    const QString& name = assignment_.field.at(target);
    if (name.isEmpty())
        return;
    for (int row = 0; row < fields_.size(); ++row) {
        if (fields_.at(row).name.compare(name, Qt::CaseInsensitive) == 0) {
            syncing_ = true;
            importList_->setCurrentCell(row, 0);
            importList_->scrollToItem(importList_->item(row, 0));
            syncing_ = false;
            return;
        }
    }
}

void ImportDialog::accept()
{
    if (!assignment_.any()) {
        messages_.show(importtext::kNoFieldsCaption, importtext::kNoFieldsText, Icon::Exclamation);
        targetList_->setFocus();
        return;
    }
    // Numbered and linked, the songs can go on playlists and albums at once.
    link_ = messages_.show(importtext::kLinkCaption, importtext::kLinkQuestion, Icon::Question, Yes | No, Yes)
        != No;
    QDialog::accept();
}

void Import(AppState& state, QWidget* caller, std::function<void(Response)> done, std::function<void()> help)
{
    askImportFile(std::make_shared<ImportCall>(ImportCall { state, caller, std::move(done), std::move(help) }));
}

} // namespace td
