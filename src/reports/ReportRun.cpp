#include "reports/ReportRun.h"

#include "data/Database.h"
#include "data/StandardWarning.h"

namespace td {

namespace {

constexpr int kScanPage = 256;
constexpr int kEndOfKey = 33;

} // namespace

std::optional<bool> askPreview(Messages& messages)
{
    const int a = messages.show(QStringLiteral("Preview"), QStringLiteral("Do you wish to PREVIEW this Report?"),
                                Icon::Question, Yes | No | Cancel, Yes);
    if (a == Yes)
        return true;
    if (a == No)
        return false;
    return std::nullopt;
}

bool passesSongFilter(const TableDef& songs, const Row& row)
{
    static thread_local const TableDef* cached = nullptr;
    static thread_local int artist = -1;
    static thread_local int title = -1;
    if (cached != &songs) {
        cached = &songs;
        artist = songs.fieldIndex(QStringLiteral("Artist"));
        title = songs.fieldIndex(QStringLiteral("Title"));
    }
    return !row.value(artist).toString().contains(QLatin1String("(*)"))
        && !row.value(title).toString().contains(QLatin1String("(Skips)"));
}

ReportRun::ReportRun(Database& db, ReportDefinition definition, ReportSetup setup)
    : db_(db)
    , def_(std::move(definition))
    , setup_(std::move(setup))
{
    if (def_.alwaysPreview)
        setup_.criteria.ReportWithPreview = true;
    perCycle_ = qMax(1, def_.recordsPerCycle);
}

ReportRun::~ReportRun()
{
    if (table_ && scanning_) {
        table_->quickScan(false);
        table_->stream(false);
    }
}

QString ReportRun::caption() const
{
    return setup_.criteria.ReportWithPreview ? QStringLiteral("Generating Report") : QStringLiteral("Printing Report");
}

QString ReportRun::progressText() const
{
    if (!def_.countProgress)
        return percentText(percent_);
    if (handled_ == 0)
        return QStringLiteral("0 Completed");
    return QString::number(handled_) + QStringLiteral(" Records Completed");
}

bool ReportRun::selects(const QString& selection, const QString& fieldText)
{
    const QString s = selection.trimmed().toUpper();
    return s.isEmpty() || fieldText.toUpper().startsWith(s);
}

bool ReportRun::start()
{
    response_ = Cancelled;
    table_ = std::make_unique<TableHandle>(db_, def_.table);
    const TableDef& t = table_->def();
    total_ = qMax<qint64>(0, table_->records());
    read_.key = t.keyIndex(def_.key);
    if (read_.key < 0 && !def_.key.isEmpty()) {
        StandardWarning(db_, StdMsg::ViewOpenError, t.label);
        table_.reset();
        return false;
    }
    read_.filter = def_.scanFilter;
    read_.filterParams = def_.scanParams;
    read_.limit = kScanPage;
    read_.from = def_.scanFrom;
    selecting_ = setup_.criteria.SelectedOrAll.trimmed() == QLatin1String("Selected");
    selection_ = setup_.criteria.ReportSelection.trimmed().toUpper();
    selectionIndex_ = def_.selectionField.isEmpty() ? -1 : t.fieldIndex(def_.selectionField);
    if (def_.joinCategory)
        categories_ = std::make_unique<TableHandle>(db_, TableId::Categories);

    // A sequential scan: read ahead, with the larger page cache of bulk reads.
    table_->quickScan(true);
    table_->stream(true);
    scanning_ = true;
    if (!fetchPrintable()) {
        endScan(Cancelled);
        return false;
    }
    openLayout();
    return true;
}

bool ReportRun::fetchPrintable()
{
    const TableDef& t = table_->def();
    for (;;) {
        if (at_ >= buffer_.size()) {
            if (tableEnded_)
                return false;
            QList<PageRow> rows;
            const int rc = table_->readPage(read_, rows);
            if (rc != 0 && rc != kEndOfKey) {
                StandardWarning(db_, StdMsg::RecordRetrievalError, t.label);
                failed_ = true;
                tableEnded_ = true;
                return false;
            }
            if (rows.size() < read_.limit)
                tableEnded_ = true;
            if (!rows.isEmpty()) {
                read_.from = rows.constLast().row;
                read_.fromPosition = rows.constLast().position;
                read_.inclusive = false;
            }
            buffer_ = std::move(rows);
            at_ = 0;
            if (buffer_.isEmpty())
                return false;
        }
        if (def_.scanStop && def_.scanStop(t, buffer_.at(at_).row)) {
            buffer_.clear();
            at_ = 0;
            tableEnded_ = true;
            return false;
        }
        current_ = std::move(buffer_[at_++]);
        ++processed_;
        if (percent_ < 100 && total_ > 0)
            percent_ = int(qMin<qint64>(100, processed_ * 100 / total_));
        if (!def_.recordFilter || def_.recordFilter(t, current_.row)) {
            haveCurrent_ = true;
            return true;
        }
    }
}

void ReportRun::openLayout()
{
    const Mils width = qRound(setup_.page.paintRect(QPageLayout::Inch).width() * 1000);
    layout_ = def_.styledLayout ? def_.styledLayout(width, { setup_.datePicture, std::nullopt, {} }) : def_.layout(width);
    layout_.useDatePicture(setup_.datePicture);
    copies_ = qMax(1, setup_.copies);
    toList_ = setup_.criteria.ReportWithPreview || (copies_ > 1 && !setup_.printerMakesCopies) || setup_.collate;
    if (def_.customFont && setup_.criteria.ReportCustomFont) {
        needsFont_ = true;
        return;
    }
    openWriter();
}

ReportFontChoice ReportRun::fontPreset() const
{
    return readReportFont(setup_.iniPath, def_.name);
}

void ReportRun::fontChosen(const std::optional<ReportFontChoice>& choice)
{
    if (!needsFont_)
        return;
    needsFont_ = false;
    if (choice) {
        // Columns that measure their values are measured again in the chosen font.
        if (def_.styledLayout) {
            const Mils width = qRound(setup_.page.paintRect(QPageLayout::Inch).width() * 1000);
            layout_ = def_.styledLayout(width, { setup_.datePicture, choice->pageFont(), {} });
            layout_.useDatePicture(setup_.datePicture);
        } else {
            layout_.applyFont(choice->pageFont());
        }
        if (!setup_.iniPath.isEmpty())
            writeReportFont(setup_.iniPath, def_.name, *choice);
    }
    openWriter();
}

void ReportRun::openWriter()
{
    const TableDef& t = table_->def();
    const int fields = int(t.fields.size());
    QStringList extras = def_.extraValues;
    if (def_.joinCategory)
        extras.prepend(QStringLiteral("CAT:Category"));
    layout_.bind([&](const QString& name) {
        const int e = int(extras.indexOf(name));
        if (e >= 0)
            return fields + e;
        return name.startsWith(t.prefix + QLatin1Char(':'), Qt::CaseInsensitive) ? t.fieldIndex(name) : -1;
    });
    PageSink sink;
    if (toList_)
        sink = [this](const PageDoc& page) { return pages_.append(page); };
    else
        sink = setup_.printer;
    writer_ = std::make_unique<ReportWriter>(layout_, setup_.page, setup_.date, std::move(sink));
}

QString ReportRun::categoryName(qint64 id)
{
    const auto it = categoryNames_.constFind(id);
    if (it != categoryNames_.constEnd())
        return *it;
    QString name;
    if (categories_ && id != 0) {
        const int key = categories_->key(QStringLiteral("KeyCategoryID"));
        categories_->clear();
        categories_->setValue(QStringLiteral("CategoryID"), id);
        if (categories_->get(key) == 0)
            name = categories_->value(QStringLiteral("Category")).toString();
    }
    categoryNames_.insert(id, name);
    return name;
}

QVariantList ReportRun::valuesOf(const PageRow& record)
{
    const Row& row = record.row;
    if (!def_.joinCategory && def_.extraValues.isEmpty() && !def_.positionValue)
        return row;
    const TableDef& t = table_->def();
    QVariantList values = row;
    if (def_.joinCategory)
        values << categoryName(row.value(t.fieldIndex(QStringLiteral("CategoryID"))).toLongLong());
    if (def_.computeExtras) {
        QVariantList extras;
        def_.computeExtras(t, row, extras);
        values << extras;
    }
    if (def_.positionValue)
        values << record.position;
    return values;
}

bool ReportRun::printCurrent()
{
    ++handled_;
    if (selecting_ && !selection_.isEmpty() && selectionIndex_ >= 0) {
        const QVariant v = current_.row.value(selectionIndex_);
        if (!v.toString().toUpper().startsWith(selection_))
            return true;
    }
    const QVariantList values = valuesOf(current_);
    const bool ok = def_.printRecord ? def_.printRecord(*writer_, values) : writer_->printDetail(values);
    return ok && !writer_->failed();
}

bool ReportRun::step(int count)
{
    if (!scanning_)
        return false;
    if (needsFont_)
        return true;
    if (!writer_)
        return false;
    for (int i = 0; i < qMax(1, count) && scanning_; ++i) {
        if (haveCurrent_) {
            haveCurrent_ = false;
            if (!printCurrent()) {
                pageFailed();
                return false;
            }
        }
        if (!fetchPrintable()) {
            endScan(Completed);
            return false;
        }
    }
    return scanning_;
}

void ReportRun::pageFailed()
{
    endScan(Cancelled);
    QString text = toList_ ? QStringLiteral("The report stopped: a page could not be stored.")
                           : QStringLiteral("The report stopped: a page could not be printed.");
    if (toList_ && !pages_.errorText().isEmpty())
        text += QStringLiteral("| |") + pages_.errorText();
    db_.messages().show(QStringLiteral("Report Error"), text, Icon::Stop);
}

void ReportRun::endScan(Response r)
{
    response_ = r;
    if (scanning_ && table_) {
        table_->quickScan(false);
        table_->stream(false);
    }
    scanning_ = false;
    haveCurrent_ = false;
}

void ReportRun::cancelRequested()
{
    if (!scanning_)
        return;
    Messages& m = db_.messages();
    if (m.show(QStringLiteral("Question"), cancelQuestion(), Icon::Question, Yes | No, No) != Yes)
        return;
    perCycle_ = 1;
    if (setup_.criteria.ReportWithPreview && !pages_.isEmpty()) {
        const int a = m.show(QStringLiteral("Question"), previewSoFarQuestion(), Icon::Question, Yes | No | Ignore, No);
        if (a == Yes) {
            previewAnyway_ = true;
            endScan(Completed);
        } else if (a != Ignore) {
            endScan(Cancelled);
        }
        return;
    }
    endScan(Cancelled);
}

ReportRun::Outcome ReportRun::conclude()
{
    if (scanning_)
        endScan(Cancelled);
    if (!writer_)
        return Nothing;
    Messages& m = db_.messages();
    if (setup_.criteria.ReportWithPreview) {
        if (response_ != Completed && !previewAnyway_)
            return Nothing;
        if (!writer_->finish()) {
            pageFailed();
            return Nothing;
        }
        if (pages_.isEmpty()) {
            m.show(QStringLiteral("NOTE..."), QStringLiteral("Nothing to Preview."), Icon::Information);
            return NothingToShow;
        }
        return Preview;
    }
    if (response_ != Completed)
        return Nothing;
    if (!writer_->finish()) {
        pageFailed();
        return Nothing;
    }
    if (!toList_)
        return Printed;
    if (pages_.isEmpty()) {
        m.show(QStringLiteral("NOTE..."), QStringLiteral("Nothing to Print."), Icon::Information);
        return NothingToShow;
    }
    printList();
    return PrintList;
}

void ReportRun::printList()
{
    pages_.handleCopies(copies_);
}

void ReportRun::finish()
{
    if (scanning_)
        endScan(response_);
    table_.reset();
    categories_.reset();
}

} // namespace td
