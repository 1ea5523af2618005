#include "exchange/ui/ExportWindow.h"

#include "common/AppState.h"
#include "common/ui/FormHost.h"
#include "common/ui/ProgressWindow.h"
#include "core/Messages.h"
#include "exchange/ImportSetup.h"
#include "exchange/ui/AskPicture.h"
#include "exchange/ui/ExchangeWidgets.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace td {

namespace {

const QString kAllFormat = QStringLiteral("200L(1)~All Fields~@s50@");
const QString kExportFormat = QStringLiteral("200L(1)~Export Fields~@s50@");

void fillList(QTableWidget* list, const QList<ExportField>& fields)
{
    list->setRowCount(int(fields.size()));
    for (int row = 0; row < fields.size(); ++row)
        list->setItem(row, 0, new QTableWidgetItem(fields.at(row).name));
}

// Marks several entries: a click picks one, Ctrl+click or Space toggles one, Shift a range.
void allowMarks(QTableWidget* list)
{
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
}

QList<int> markedRows(const QTableWidget* list)
{
    QList<int> rows;
    for (const QModelIndex& i : list->selectionModel()->selectedRows())
        rows << i.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

} // namespace

ExportDialog::ExportDialog(Messages& messages, std::function<void()> help)
    : messages_(messages)
    , export_(allExportFields())
{
    setObjectName(QStringLiteral("ChooseExportFields"));
    setWindowTitle(exporttext::kWindowTitle);

    allList_ = exchangeList(QStringLiteral("AllFields"), {QStringLiteral("All Fields")}, kAllFormat);
    exportList_ = exchangeList(QStringLiteral("ExportFields"), {QStringLiteral("Export Fields")}, kExportFormat);
    for (QTableWidget* list : {allList_, exportList_}) {
        allowMarks(list);
        list->installEventFilter(this);
    }
    fillList(allList_, allExportFields());
    fillList(exportList_, export_);
    fitColumns(allList_);
    fitColumns(exportList_);

    QPushButton* addButton = exchangeButton(QStringLiteral("&Add ->"), this);
    QPushButton* removeButton = exchangeButton(QStringLiteral("&Remove"), this);
    QPushButton* upButton = exchangeButton(QStringLiteral("Shift &Up"), this);
    QPushButton* downButton = exchangeButton(QStringLiteral("Shift &Down"), this);
    QPushButton* pictureButton = exchangeButton(QStringLiteral("&Picture"), this);
    pictureShown_ = new QLabel;
    pictureShown_->setObjectName(QStringLiteral("PictureDisplay"));
    pictureShown_->setFrameShape(QFrame::Panel);
    pictureShown_->setFrameShadow(QFrame::Sunken);
    pictureShown_->setMinimumWidth(pictureShown_->fontMetrics().horizontalAdvance(QStringLiteral("Alpha-numericMM")));
    header_ = new QCheckBox(exporttext::kHeaderCheck);
    header_->setObjectName(QStringLiteral("IncludeHeader"));
    QPushButton* ok = exchangeButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    QPushButton* cancel = exchangeButton(QStringLiteral("&Cancel"), this);
    QPushButton* helpButton = exchangeButton(QStringLiteral("Help"), this);
    helpButton->setEnabled(bool(help));

    auto* middle = new QVBoxLayout;
    for (QPushButton* b : {addButton, removeButton, upButton, downButton, pictureButton})
        middle->addWidget(b);
    middle->addSpacing(12);
    middle->addWidget(new QLabel(QStringLiteral("Picture")));
    middle->addWidget(pictureShown_);
    middle->addStretch();

    auto* lists = new QHBoxLayout;
    lists->addWidget(allList_, 1);
    lists->addLayout(middle);
    lists->addWidget(exportList_, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(header_);
    bottom->addStretch();
    for (QPushButton* b : {ok, cancel, helpButton})
        bottom->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addLayout(bottom);

    const QList<QWidget*> order {allList_, addButton, removeButton, upButton, downButton, pictureButton,
                                 exportList_, header_, ok, cancel, helpButton};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));

    connect(addButton, &QPushButton::clicked, this, &ExportDialog::add);
    connect(removeButton, &QPushButton::clicked, this, &ExportDialog::remove);
    connect(upButton, &QPushButton::clicked, this, [this] { shift(true); });
    connect(downButton, &QPushButton::clicked, this, [this] { shift(false); });
    connect(pictureButton, &QPushButton::clicked, this, &ExportDialog::picture);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(helpButton, &QPushButton::clicked, this, [help] {
        if (help)
            help();
    });
    connect(exportList_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &ExportDialog::showPicture);

    allList_->setCurrentCell(0, 0);
    exportList_->setCurrentCell(0, 0);
    showPicture();
    allList_->setFocus();
    resize(sizeHint().expandedTo(QSize(640, 520)));
}

bool ExportDialog::header() const
{
    return header_->isChecked();
}

QPushButton* ExportDialog::button(const QString& objectName) const
{
    return findChild<QPushButton*>(objectName);
}

// Space (without Ctrl, which the list already takes as a toggle) toggles the mark of the entry.
bool ExportDialog::eventFilter(QObject* watched, QEvent* e)
{
    auto* list = qobject_cast<QTableWidget*>(watched);
    if (list && e->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(e);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
            const QModelIndex current = list->currentIndex();
            if (current.isValid())
                list->selectionModel()->select(current, QItemSelectionModel::Toggle | QItemSelectionModel::Rows);
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

void ExportDialog::fillExportList(int current)
{
    fillList(exportList_, export_);
    exportList_->clearSelection();
    if (!export_.isEmpty())
        exportList_->setCurrentCell(std::clamp(current, 0, int(export_.size()) - 1), 0);
    showPicture();
}

void ExportDialog::showPicture()
{
    const int row = exportList_->currentRow();
    pictureShown_->setText(row >= 0 && row < export_.size() ? exportTypeText(export_.at(row).picture) : QString());
}

void ExportDialog::add()
{
    QList<ExportField> marked;
    for (int row : markedRows(allList_))
        marked << allExportFields().at(row);
    const int before = int(export_.size());
    exportlist::add(export_, marked);
    fillExportList(export_.size() > before ? before : exportList_->currentRow());
}

void ExportDialog::remove()
{
    const QList<int> rows = markedRows(exportList_);
    if (rows.isEmpty())
        return;
    for (auto it = rows.crbegin(); it != rows.crend(); ++it)
        export_.removeAt(*it);
    fillExportList(rows.first());
    if (export_.isEmpty())
        allList_->setFocus();
}

void ExportDialog::shift(bool up)
{
    const int row = exportList_->currentRow();
    if (row < 0 || row >= export_.size())
        return;
    fillExportList(up ? exportlist::shiftUp(export_, row) : exportlist::shiftDown(export_, row));
}

void ExportDialog::picture()
{
    const int row = exportList_->currentRow();
    if (row < 0 || row >= export_.size()) {
        allList_->setFocus();
        return;
    }
    ImportExport_AskPicture(this, messages_, export_.at(row).picture, [this, row](const QString& answer) {
        if (answer.isEmpty() || row >= export_.size())
            return;
        export_[row].picture = answer;
        showPicture();
    });
}

void ExportDialog::accept()
{
    if (export_.isEmpty()) {
        messages_.show(exporttext::kNoFieldsCaption, exporttext::kNoFieldsText, Icon::Exclamation);
        allList_->setFocus();
        return;
    }
    QDialog::accept();
}

void Export(AppState& state, QWidget* caller, std::function<void(Response)> done, std::function<void()> help)
{
    auto end = [done = std::move(done)](Response r) {
        if (done)
            done(r);
    };
    auto* window = new ExportDialog(state.messages, std::move(help));
    openForm(caller, window, [&state, caller, window, end](int result) {
        if (result != QDialog::Accepted) {
            end(Response::Cancelled);
            return;
        }
        ExportOptions options { QString(), window->exportFields(), window->header() };
        QFileDialog* dialog = csvFileDialog(csv::kExportDialogTitle, csv::kExportFilter, true);
        openForm(caller, dialog, [&state, caller, dialog, options, end](int answer) mutable {
            const QString file = dialog->selectedFiles().value(0);
            if (answer != QDialog::Accepted || file.isEmpty()) {
                end(Response::Cancelled);
                return;
            }
            options.fileName = file;
            auto run = std::make_shared<ExportRun>(state.db, std::move(options));
            if (!ProgressWindow::start(run, caller, [end] { end(Response::Completed); }))
                end(Response::Cancelled);
        });
    });
}

} // namespace td
