#include "explorer/ui/XploreProcReformat.h"

#include "common/ui/FormHost.h"
#include "common/ui/WidgetPosition.h"
#include "explorer/ExplorerReformat.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QFontDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>

namespace td {

namespace {

class ReformatDialog : public QDialog {
public:
    // `onlyPlace` >= 0: the one-column window for the column shown at that place.
    ReformatDialog(ExplorerFormatTarget& view, QWidget* parent, int onlyPlace = -1)
        : QDialog(parent)
        , view_(view)
        , r_(view.kind(), view.shown())
        , only_(onlyPlace)
    {
        setObjectName(only_ < 0 ? QStringLiteral("XploreFormatBrowseBox") : QStringLiteral("XploreFormatColumn"));
        setWindowTitle(only_ < 0 ? QStringLiteral("Format Listbox...") : QStringLiteral("Format Listbox Column"));
        build();
        fillLists(qMax(0, only_));
    }

    void done(int result) override
    {
        savePosition(this, objectName());
        QDialog::done(result);
    }

private:
    QPushButton* button(const QString& text, const QString& tip)
    {
        auto* b = new QPushButton(text, this);
        b->setAutoDefault(false);
        b->setToolTip(tip);
        return b;
    }
    QSpinBox* spin(int max, const QString& tip)
    {
        auto* s = new QSpinBox(this);
        s->setRange(0, max);
        s->setToolTip(tip);
        return s;
    }
    QButtonGroup* justification(QGroupBox* box)
    {
        auto* g = new QButtonGroup(box);
        auto* l = new QHBoxLayout(box);
        int id = 0;
        for (const char* t : {"Left", "Center", "Right"}) {
            auto* rb = new QRadioButton(QLatin1String(t), box);
            g->addButton(rb, id++);
            l->addWidget(rb);
        }
        return g;
    }

    void build()
    {
        shownList_ = new QListWidget(this);
        shownList_->setObjectName(QStringLiteral("ShownColumns"));
        shownList_->setToolTip(QStringLiteral("Right Click to erase field"));
        shownList_->setContextMenuPolicy(Qt::CustomContextMenu);
        hiddenList_ = new QListWidget(this);
        hiddenList_->setObjectName(QStringLiteral("HiddenColumns"));
        hiddenList_->setToolTip(QStringLiteral("Right Click to display field"));
        hiddenList_->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(shownList_, &QListWidget::currentRowChanged, this, [this](int) { showSettings(); });
        connect(shownList_, &QListWidget::customContextMenuRequested, this, [this](const QPoint& p) {
            if (QListWidgetItem* i = shownList_->itemAt(p))
                hideColumn(shownList_->row(i));
        });
        connect(hiddenList_, &QListWidget::customContextMenuRequested, this, [this](const QPoint& p) {
            if (QListWidgetItem* i = hiddenList_->itemAt(p))
                showColumn(hiddenList_->row(i));
        });

        auto* left = button(QStringLiteral("Move Column Left"), QString());
        auto* right = button(QStringLiteral("Move Column Right"), QString());
        left->setIcon(style()->standardIcon(QStyle::SP_ArrowLeft));
        right->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
        auto* add = button(QStringLiteral("Add Column to display list"), QString());
        auto* hide = button(QStringLiteral("Hide column from display list"), QString());
        connect(left, &QPushButton::clicked, this, [this]() { moved(r_.moveLeft(shownList_->currentRow())); });
        connect(right, &QPushButton::clicked, this, [this]() { moved(r_.moveRight(shownList_->currentRow())); });
        connect(add, &QPushButton::clicked, this, [this]() { showColumn(hiddenList_->currentRow()); });
        connect(hide, &QPushButton::clicked, this, [this]() { hideColumn(shownList_->currentRow()); });

        auto* lists = new QGridLayout;
        lists->addWidget(new QLabel(QStringLiteral("Field|Data"), this), 0, 0);
        lists->addWidget(new QLabel(QStringLiteral("Column|Data"), this), 0, 1);
        lists->addWidget(shownList_, 1, 0);
        lists->addWidget(hiddenList_, 1, 1);
        auto* moves = new QHBoxLayout;
        for (QPushButton* b : {left, right, add, hide})
            moves->addWidget(b);

        // The selected column's settings.
        header_ = new QLineEdit(this);
        header_->setToolTip(QStringLiteral("Change Column Header Text"));
        headerOffset_ = spin(99, QStringLiteral("Change Header Offset"));
        width_ = spin(999, QStringLiteral("Change Column Width"));
        offset_ = spin(99, QStringLiteral("Change Data Field Offset"));
        auto* headerBox = new QGroupBox(QStringLiteral("Header &Justification"), this);
        auto* fieldBox = new QGroupBox(QStringLiteral("&Field Justification"), this);
        headerJust_ = justification(headerBox);
        fieldJust_ = justification(fieldBox);
        fixed_ = new QCheckBox(QStringLiteral("F&ixed"), this);
        fixed_->setToolTip(QStringLiteral("Fix all columns to the left when horizontal Scrolling"));
        uline_ = new QCheckBox(QStringLiteral("&Uline"), this);
        uline_->setToolTip(QStringLiteral("Underline the current column"));
        border_ = new QCheckBox(QStringLiteral("&Border"), this);
        border_->setToolTip(QStringLiteral("Right hand border line"));
        resize_ = new QCheckBox(QStringLiteral("&Resize"), this);
        resize_->setToolTip(QStringLiteral("Allow Column Resize with Mouse"));
        auto* column = new QFormLayout;
        auto* headerLabel = new QLabel(QStringLiteral("&Header:"), this);
        headerLabel->setBuddy(header_);
        auto* headerOffsetLabel = new QLabel(QStringLiteral("Off&set:"), this);
        headerOffsetLabel->setBuddy(headerOffset_);
        auto* widthLabel = new QLabel(QStringLiteral("&Width:"), this);
        widthLabel->setBuddy(width_);
        auto* offsetLabel = new QLabel(QStringLiteral("Offse&t:"), this);
        offsetLabel->setBuddy(offset_);
        column->addRow(headerLabel, header_);
        column->addRow(headerOffsetLabel, headerOffset_);
        column->addRow(headerBox);
        column->addRow(fieldBox);
        column->addRow(widthLabel, width_);
        column->addRow(offsetLabel, offset_);
        auto* flags = new QHBoxLayout;
        for (QCheckBox* c : {fixed_, uline_, border_, resize_})
            flags->addWidget(c);
        column->addRow(flags);

        connect(header_, &QLineEdit::textEdited, this, [this](const QString& t) { change([&](int p) { r_.setHeader(p, t); }); });
        connect(headerOffset_, &QSpinBox::valueChanged, this, [this](int v) { change([&](int p) { r_.setHeaderOffset(p, v); }); });
        connect(width_, &QSpinBox::valueChanged, this, [this](int v) { change([&](int p) { r_.setWidth(p, v); }); });
        connect(offset_, &QSpinBox::valueChanged, this, [this](int v) { change([&](int p) { r_.setOffset(p, v); }); });
        connect(headerJust_, &QButtonGroup::idClicked, this,
                [this](int id) { change([&](int p) { r_.setHeaderJustification(p, QLatin1String("LCR").at(id)); }); });
        connect(fieldJust_, &QButtonGroup::idClicked, this,
                [this](int id) { change([&](int p) { r_.setJustification(p, QLatin1String("LCR").at(id)); }); });
        const QList<QPair<QCheckBox*, ExplorerReformat::Flag>> boxes{
            {fixed_, ExplorerReformat::Fixed}, {uline_, ExplorerReformat::Underline},
            {border_, ExplorerReformat::Border}, {resize_, ExplorerReformat::Resize}};
        for (const auto& b : boxes) {
            const ExplorerReformat::Flag f = b.second;
            connect(b.first, &QCheckBox::toggled, this, [this, f](bool on) { change([&](int p) { r_.setFlag(p, f, on); }); });
        }

        // The list's own settings. The list sits in its window's layout, so its place and size are
        // the window's: the x, y, width and height settings are not offered.
        lineHeight_ = spin(99, QStringLiteral("Adjust Line Height"));
        lineHeight_->setValue(view_.listSettings().lineHeight);
        auto* lineLabel = new QLabel(QStringLiteral("&LineHeight:"), this);
        lineLabel->setBuddy(lineHeight_);
        auto* font = button(QStringLiteral("F&ont"), QStringLiteral("Assign New Font to Listbox"));
        vscroll_ = new QCheckBox(QStringLiteral("&Vertical Scroll"), this);
        vscroll_->setToolTip(QStringLiteral("Display Vertical Scroll bar"));
        vscroll_->setChecked(view_.listSettings().vscroll);
        hscroll_ = new QCheckBox(QStringLiteral("Hori&zontal Scroll"), this);
        hscroll_->setToolTip(QStringLiteral("Display Horizontal Scroll bar"));
        hscroll_->setChecked(view_.listSettings().hscroll);
        connect(lineHeight_, &QSpinBox::valueChanged, this, [this](int v) { listChange([&](ExplorerListSettings& s) { s.lineHeight = v; }); });
        connect(vscroll_, &QCheckBox::toggled, this, [this](bool on) { listChange([&](ExplorerListSettings& s) { s.vscroll = on; }); });
        connect(hscroll_, &QCheckBox::toggled, this, [this](bool on) { listChange([&](ExplorerListSettings& s) { s.hscroll = on; }); });
        connect(font, &QPushButton::clicked, this, &ReformatDialog::chooseFont);
        auto* listRow = new QHBoxLayout;
        listRow->addWidget(lineLabel);
        listRow->addWidget(lineHeight_);
        listRow->addWidget(font);
        listRow->addWidget(vscroll_);
        listRow->addWidget(hscroll_);

        auto* defaults = button(QStringLiteral("&Default"), QStringLiteral("Reset listbox back to default"));
        auto* close = button(QStringLiteral("&Close"), QString());
        connect(defaults, &QPushButton::clicked, this, &ReformatDialog::toDefault);
        connect(close, &QPushButton::clicked, this, &QDialog::accept);
        auto* end = new QHBoxLayout;
        end->addStretch(1);
        end->addWidget(defaults);
        end->addWidget(close);

        auto* layout = new QVBoxLayout(this);
        layout->addLayout(lists, 1);
        layout->addLayout(moves);
        layout->addLayout(column);
        layout->addLayout(listRow);
        layout->addLayout(end);
        if (only_ >= 0) {
            // One column: its settings with the line height and font; the lists stay the main window's.
            for (QWidget* w : std::initializer_list<QWidget*>{shownList_, hiddenList_, left, right, add, hide, vscroll_, hscroll_})
                w->hide();
            for (QLabel* l : findChildren<QLabel*>())
                if (l->text().contains(QLatin1Char('|')))
                    l->hide();
        } else {
            // A double click on a shown column opens its own window.
            connect(shownList_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* i) {
                const int place = shownList_->row(i);
                openForm(this, new ReformatDialog(view_, this, place), [this, place](int) {
                    r_ = ExplorerReformat(view_.kind(), view_.shown());
                    fillLists(place);
                });
            });
        }
        const QFontMetrics fm(this->font());
        setMinimumSize(QSize(136 * fm.averageCharWidth() / 4, 196 * fm.height() / 8).expandedTo(layout->totalMinimumSize()));
        restorePosition(this, objectName());
    }

    QString describe(int column) const
    {
        const ExplorerColumn& c = explorerColumns(r_.kind()).at(column);
        return c.description + QStringLiteral(" | ") + c.field;
    }

    void fillLists(int select)
    {
        filling_ = true;
        shownList_->clear();
        for (const ShownColumn& s : r_.shown())
            shownList_->addItem(QStringLiteral("\u2713 ") + describe(s.column));
        hiddenList_->clear();
        for (int c : r_.hidden())
            hiddenList_->addItem(describe(c));
        shownList_->setCurrentRow(qBound(0, select, shownList_->count() - 1));
        hiddenList_->setCurrentRow(0);
        filling_ = false;
        showSettings();
    }

    void showSettings()
    {
        const int p = shownList_->currentRow();
        if (p < 0 || p >= r_.shown().size())
            return;
        filling_ = true;
        const ListColumn& c = r_.shown().at(p).format;
        header_->setText(unmarkedHeader(c.header));
        headerOffset_->setValue(qMax(0, c.headerIndent));
        width_->setValue(c.width);
        offset_->setValue(qMax(0, c.indent));
        const auto place = [](QChar j) { return j == QLatin1Char('C') ? 1 : j == QLatin1Char('R') ? 2 : 0; };
        headerJust_->button(place(c.headerJustification.isNull() ? c.justification : c.headerJustification))->setChecked(true);
        fieldJust_->button(place(c.justification))->setChecked(true);
        fixed_->setChecked(r_.flag(p, ExplorerReformat::Fixed));
        uline_->setChecked(r_.flag(p, ExplorerReformat::Underline));
        border_->setChecked(r_.flag(p, ExplorerReformat::Border));
        resize_->setChecked(r_.flag(p, ExplorerReformat::Resize));
        filling_ = false;
    }

    template<class F> void change(F f)
    {
        if (filling_)
            return;
        const int p = shownList_->currentRow();
        if (p < 0)
            return;
        f(p);
        view_.applyFormat(r_.format());
    }

    template<class F> void listChange(F f)
    {
        if (filling_)
            return;
        ExplorerListSettings s = view_.listSettings();
        f(s);
        view_.applyListSettings(s);
    }

    void moved(int place)
    {
        if (place < 0)
            return;
        view_.applyFormat(r_.format());
        fillLists(place);
    }

    void hideColumn(int place)
    {
        if (!r_.hide(place))
            return;
        view_.applyFormat(r_.format());
        fillLists(place);
    }

    void showColumn(int hiddenPlace)
    {
        const QList<int> hidden = r_.hidden();
        if (hiddenPlace < 0 || hiddenPlace >= hidden.size())
            return;
        moved(r_.show(hidden.at(hiddenPlace)));
    }

    void chooseFont()
    {
        auto* d = new QFontDialog(view_.listFont(), this);
        connect(d, &QFontDialog::fontSelected, this, [this](const QFont& chosen) {
            listChange([&](ExplorerListSettings& s) {
                s.font = chosen.family().left(20);
                s.point = chosen.pointSize();
                s.style = int(chosen.weight()) + (chosen.italic() ? 1 : 0);
            });
        });
        openForm(this, d);
    }

    void toDefault()
    {
        if (only_ >= 0) {
            r_.resetColumn(only_);
            view_.applyFormat(r_.format());
            ExplorerListSettings s = view_.listSettings();
            s.lineHeight = 0;
            s.font.clear();
            s.point = 0;
            s.style = 0;
            view_.applyListSettings(s);
            filling_ = true;
            lineHeight_->setValue(0);
            filling_ = false;
            showSettings();
            return;
        }
        r_.reset();
        view_.applyFormat(r_.format());
        ExplorerListSettings s;
        s.format = r_.format();
        view_.applyListSettings(s);
        filling_ = true;
        lineHeight_->setValue(0);
        vscroll_->setChecked(true);
        hscroll_->setChecked(true);
        filling_ = false;
        fillLists(0);
    }

    ExplorerFormatTarget& view_;
    ExplorerReformat r_;
    int only_ = -1;
    bool filling_ = false;
    QListWidget* shownList_ = nullptr;
    QListWidget* hiddenList_ = nullptr;
    QLineEdit* header_ = nullptr;
    QSpinBox* headerOffset_ = nullptr;
    QSpinBox* width_ = nullptr;
    QSpinBox* offset_ = nullptr;
    QButtonGroup* headerJust_ = nullptr;
    QButtonGroup* fieldJust_ = nullptr;
    QCheckBox* fixed_ = nullptr;
    QCheckBox* uline_ = nullptr;
    QCheckBox* border_ = nullptr;
    QCheckBox* resize_ = nullptr;
    QSpinBox* lineHeight_ = nullptr;
    QCheckBox* vscroll_ = nullptr;
    QCheckBox* hscroll_ = nullptr;
};

} // namespace

void XploreProcReformat(ExplorerFormatTarget& list, QWidget* caller, std::function<void()> closed)
{
    auto* d = new ReformatDialog(list, caller);
    openForm(caller, d, [closed = std::move(closed)](int) {
        if (closed)
            closed();
    });
}

} // namespace td
