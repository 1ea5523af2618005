#include "albums/ui/SelectAlbum.h"

#include "albums/AlbumBrowseLogic.h"
#include "albums/ui/PickerDialog.h"
#include "common/AppState.h"
#include "common/ui/FormHost.h"
#include "common/ui/PagedTableModel.h"

namespace td {

namespace {

ColumnValue albumField(const QString& name)
{
    const int i = tableDef(TableId::Album).fieldIndex(name);
    return [i](const PageRow& r) { return r.row.value(i); };
}

class SelectAlbumDialog : public PickerDialog {
public:
    explicit SelectAlbumDialog(AppState& state)
        : PickerDialog(state, QStringLiteral("SelectAlbum"), QStringLiteral("Select An Album"))
        , browser_(state.db)
        , model_(browser_.list())
    {
        const QString format = selectAlbumFormat(state.settings);
        model_.setColumns(format, {albumField(QStringLiteral("Album")), albumField(QStringLiteral("Artist")),
                                   albumField(QStringLiteral("FileNumber")), albumField(QStringLiteral("Media")),
                                   albumField(QStringLiteral("ReleaseDate"))});
        QStringList titles;
        for (int i = 0; i < kSelectAlbumTabCount; ++i)
            titles << albumTabInfo(AlbumTab(i)).title;
        build(browser_.list(), model_, titles, selectAlbumFormatKeys(), format, false);
    }

    const Album& chosen() const { return chosen_; }

protected:
    void configure(int tab) override
    {
        browser_.setTab(AlbumTab(qBound(0, tab, kSelectAlbumTabCount - 1)));
        browser_.configure();
    }
    QString tableLabel() const override { return QStringLiteral("Album"); }
    bool takeChosen() override { return browser_.highlightedAlbum(&chosen_); }

private:
    AlbumBrowser browser_;
    PagedTableModel model_;
    Album chosen_;
};

} // namespace

void SelectAlbum(AppState& state, QWidget* caller, std::function<void(const Album*)> answered)
{
    auto* picker = new SelectAlbumDialog(state);
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
