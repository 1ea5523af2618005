#include "albums/ui/SelectFileNumber.h"

#include "albums/AlbumBrowseLogic.h"
#include "albums/ui/PickerDialog.h"
#include "common/AppState.h"
#include "common/ui/BrowseList.h"
#include "common/ui/FormHost.h"
#include "common/ui/PagedTableModel.h"
#include "songs/SongBrowseLogic.h"
#include "songs/ui/BrowseCategories.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTabBar>

namespace td {

namespace {

ColumnValue songField(const QString& name)
{
    const int i = tableDef(TableId::Tunedeck).fieldIndex(name);
    return [i](const PageRow& r) { return r.row.value(i); };
}

class SelectFileNumberDialog : public PickerDialog {
public:
    explicit SelectFileNumberDialog(AppState& state)
        : PickerDialog(state, QStringLiteral("SelectFileNumber"), QStringLiteral("Select File Number"))
        , browser_(state.db, state.settings)
        , model_(browser_.list())
    {
        const QString format = selectFileNumberFormat(state.settings);
        const int categoryField = tableDef(TableId::Tunedeck).fieldIndex(QStringLiteral("CategoryID"));
        SongBrowser* b = &browser_;
        model_.setColumns(format, {songField(QStringLiteral("Artist")), songField(QStringLiteral("Title")),
                                   songField(QStringLiteral("Album")), songField(QStringLiteral("Media")),
                                   songField(QStringLiteral("FileNumber")), songField(QStringLiteral("ReleaseDate")),
                                   [b, categoryField](const PageRow& r) {
                                       return QVariant(b->categoryName(r.row.value(categoryField).toLongLong()));
                                   }});
        QStringList titles;
        for (int i = 0; i < kFileNumberTabCount; ++i)
            titles << songTabInfo(fileNumberTab(i)).title;
        build(browser_.list(), model_, titles, selectFileNumberFormatKeys(), format, true);

        // "&Select" comes first: this one takes its own letter so that Alt+S stays unambiguous.
        selectCategory_ = new QPushButton(QStringLiteral("Select &Category"), this);
        selectCategory_->setObjectName(QStringLiteral("SelectCategory"));
        selectCategory_->setAutoDefault(false);
        chosenCategory_ = new QLabel(this);
        chosenCategory_->setObjectName(QStringLiteral("ChosenCategory"));
        rangeRow()->addWidget(chosenCategory_, 1);
        rangeRow()->addWidget(selectCategory_);
        connect(selectCategory_, &QPushButton::clicked, this, &SelectFileNumberDialog::selectCategory);
        // Tab follows the rows: the category button above the list comes before it.
        QWidget::setTabOrder(tabs(), selectCategory_);
        QWidget::setTabOrder(selectCategory_, list()->view());
        showChosenCategory();
    }

    const Tunedeck& chosen() const { return chosen_; }

protected:
    void configure(int tab) override
    {
        browser_.refreshCategoryNames();
        configureFileNumberList(browser_, tab);
        showChosenCategory();
    }
    Row locatorValues(const QString& text) const override
    {
        return fileNumberLocatorValues(tabs()->currentIndex(), text);
    }
    QString tableLabel() const override { return QStringLiteral("Tunedeck"); }
    bool takeChosen() override
    {
        Table<Tunedeck> t(browser_.database());
        const qint64 pos = browser_.list().highlightedPosition();
        if (pos == 0 || t.fetch(pos) != 0)
            return false;
        chosen_ = t.rec;
        return true;
    }

private:
    bool byCategory() const { return fileNumberTab(tabs()->currentIndex()) == SongTab::ByCategory; }

    void showChosenCategory()
    {
        if (!selectCategory_)
            return;
        const bool limited = byCategory();
        selectCategory_->setVisible(limited);
        chosenCategory_->setVisible(limited);
        const qint64 id = browser_.categoryId();
        chosenCategory_->setText(id == 0 ? QStringLiteral("No category chosen: use Select Category")
                                         : QStringLiteral("Category: ") + browser_.categoryName(id).trimmed());
    }

    void selectCategory()
    {
        const qint64 id = browser_.categoryId();
        BrowseCategories(state(), this, id ? browser_.categoryName(id) : QString(), [this](const Categories* c) {
            if (!c)
                return;
            browser_.setCategory(c->CategoryID);
            readList();
            list()->setFocus();
        });
    }

    SongBrowser browser_;
    PagedTableModel model_;
    Tunedeck chosen_;
    QPushButton* selectCategory_ = nullptr;
    QLabel* chosenCategory_ = nullptr;
};

} // namespace

void SelectFileNumber(AppState& state, QWidget* caller, std::function<void(const Tunedeck*)> answered)
{
    auto* picker = new SelectFileNumberDialog(state);
    if (!picker->readList()) {
        delete picker;
        if (answered)
            answered(nullptr);
        return;
    }
    openForm(caller, picker, [picker, answered = std::move(answered)](int result) {
        if (answered)
            answered(result == QDialog::Accepted ? &picker->chosen() : nullptr);
    });
}

} // namespace td
