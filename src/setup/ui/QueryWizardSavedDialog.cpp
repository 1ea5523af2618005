#include "setup/ui/QueryWizardSavedDialog.h"

#include "common/AppState.h"
#include "common/ui/FormHost.h"
#include "core/Messages.h"
#include "setup/QueryWizardExpr.h"
#include "setup/QueryWizardTexts.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace td {

namespace {

constexpr int kNameWidth = 40;

QPushButton* button(
    const QueryWizardTexts& texts, int textNumber, int tipNumber, const char* name, QWidget* parent)
{
    auto* b = new QPushButton(texts.text(textNumber), parent);
    b->setObjectName(QLatin1String(name));
    if (tipNumber)
        b->setToolTip(texts.text(tipNumber));
    return b;
}

// A font of the text table (typeface and size); the typeface only when this machine has it.
void applyFont(QWidget* w, const QueryWizardTexts& texts, int nameNumber, int sizeNumber)
{
    QFont f = w->font();
    const QString family = texts.text(nameNumber);
    if (!family.isEmpty() && QFontDatabase::hasFamily(family))
        f.setFamily(family);
    const int size = texts.text(sizeNumber).toInt();
    if (size > 0)
        f.setPointSize(size);
    w->setFont(f);
}

int say(AppState& app, const QueryWizardTexts& texts, int caption, int text, Icon icon = Icon::Exclamation,
    int buttons = Ok, int defaultButton = Ok)
{
    return app.messages.show(texts.text(caption), texts.text(text), icon, buttons, defaultButton);
}

} // namespace

// ---- query description ----

QueryDescriptionDialog::QueryDescriptionDialog(const QueryWizardTexts& texts, const QString& name,
    const QString& description, std::function<Outcome(QueryDescriptionDialog&)> store, QWidget* parent)
    : QDialog(parent)
    , store_(std::move(store))
{
    setObjectName(QStringLiteral("QueryDescription"));
    setWindowTitle(texts.text(qwt::SaveCaption));
    auto* layout = new QVBoxLayout(this);

    auto* namePrompt = new QLabel(texts.text(qwt::NamePrompt), this);
    name_ = new QLineEdit(name, this);
    name_->setObjectName(QStringLiteral("name"));
    name_->setMaxLength(kNameWidth);
    name_->setToolTip(texts.text(qwt::NameTip));
    namePrompt->setBuddy(name_);

    auto* descriptionPrompt = new QLabel(texts.text(qwt::DescriptionPrompt), this);
    description_ = new QPlainTextEdit(description, this);
    description_->setObjectName(QStringLiteral("description"));
    description_->setToolTip(texts.text(qwt::DescriptionTip));
    description_->setTabChangesFocus(true);
    applyFont(description_, texts, qwt::DescriptionFontName, qwt::DescriptionFontSize);
    descriptionPrompt->setBuddy(description_);

    layout->addWidget(namePrompt);
    layout->addWidget(name_);
    layout->addWidget(descriptionPrompt);
    layout->addWidget(description_);

    auto* buttons = new QHBoxLayout;
    auto* save = button(texts, qwt::SaveQueryWindowButton, qwt::SaveQueryWindowTip, "save", this);
    auto* cancel = button(texts, qwt::CancelSaveButton, 0, "cancelSave", this);
    save->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(save, &QPushButton::clicked, this, &QueryDescriptionDialog::savePressed);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(360, 220);
}

void QueryDescriptionDialog::savePressed()
{
    switch (store_ ? store_(*this) : Outcome::Saved) {
    case Outcome::Saved:
        saved_ = name();
        accept();
        return;
    case Outcome::Stay:
        name_->setFocus();
        name_->selectAll();
        return;
    case Outcome::GiveUp:
        reject();
        return;
    }
}

QString QueryDescriptionDialog::name() const
{
    return name_->text().trimmed();
}

QString QueryDescriptionDialog::description() const
{
    return description_->toPlainText();
}

void saveQueryInteractively(QWidget* caller, AppState& app, const QueryWizardTexts& texts, QueryStore& store,
    const QString& group, const QString& expression, const QString& editing,
    std::function<void(const QString&)> answered)
{
    store.load();
    QString description;
    if (const auto old = store.find(group, editing))
        description = old->description;

    using Outcome = QueryDescriptionDialog::Outcome;
    auto tryStore = [&app, &texts, &store, group, expression, editing](QueryDescriptionDialog& d) {
        const QString name = d.name();
        if (name.isEmpty()) {
            say(app, texts, qwt::NameRequiredCaption, qwt::NameRequiredText);
            return Outcome::Stay;
        }
        store.load();
        if (const auto existing = store.find(group, name)) {
            if (existing->restricted) {
                say(app, texts, qwt::RestrictedCaption, qwt::RestrictedText);
                return Outcome::Stay;
            }
            const bool same = name.compare(editing.trimmed(), Qt::CaseInsensitive) == 0;
            const int answer = same
                ? say(app, texts, qwt::OverwriteCaption, qwt::OverwriteText, Icon::Question, Yes | No, Yes)
                : say(app, texts, qwt::ReplaceCaption, qwt::ReplaceText, Icon::Question, Yes | No, No);
            if (answer != Yes)
                return Outcome::Stay;
        }
        SavedQuery q;
        q.group = group;
        q.name = name;
        q.description = d.description();
        q.expression = expression;
        switch (store.save(q)) {
        case QueryStore::Result::Ok:
            return Outcome::Saved;
        case QueryStore::Result::Restricted:
            say(app, texts, qwt::RestrictedCaption, qwt::RestrictedText);
            return Outcome::Stay;
        default:
            app.messages.show(texts.text(qwt::NotSavedCaption),
                texts.text(qwt::NotSavedText).arg(QFileInfo(store.path()).fileName()), Icon::Stop);
            return Outcome::GiveUp;
        }
    };
    auto* dialog = new QueryDescriptionDialog(texts, editing, description, tryStore);
    openForm(caller, dialog, [dialog, answered = std::move(answered)](int) { answered(dialog->saved()); });
}

// ---- saved queries ----

SavedQueriesDialog::SavedQueriesDialog(AppState& app, const QueryWizardTexts& texts, QueryStore& store,
    const QString& group, const QueryFieldList& fields, const QString& expression, bool expressionValid,
    const QString& editing, QWidget* parent)
    : QDialog(parent)
    , app_(app)
    , texts_(texts)
    , store_(store)
    , group_(group)
    , fields_(fields)
    , expression_(expression)
    , expressionValid_(expressionValid)
    , editing_(editing)
{
    setObjectName(QStringLiteral("SavedQueries"));
    setWindowTitle(texts.text(qwt::SavedCaption));
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    auto* prompt = new QLabel(texts.text(qwt::SavedListPrompt), this);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("queries"));
    applyFont(list_, texts, qwt::ListFontName, qwt::ListFontSize);
    prompt->setBuddy(list_);
    auto* descriptionPrompt = new QLabel(texts.text(qwt::DescriptionShownPrompt), this);
    description_ = new QLabel(this);
    description_->setObjectName(QStringLiteral("description"));
    description_->setWordWrap(true);
    description_->setMinimumHeight(48);
    description_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    left->addWidget(prompt);
    left->addWidget(list_, 1);
    left->addWidget(descriptionPrompt);
    left->addWidget(description_);
    layout->addLayout(left, 1);

    auto* right = new QVBoxLayout;
    select_ = button(texts, qwt::SavedSelectButton, qwt::SavedSelectTip, "select", this);
    change_ = button(texts, qwt::SavedChangeButton, qwt::SavedChangeTip, "change", this);
    delete_ = button(texts, qwt::SavedDeleteButton, qwt::SavedDeleteTip, "delete", this);
    insert_ = button(texts, qwt::SavedInsertButton, qwt::SavedInsertTip, "insert", this);
    close_ = button(texts, qwt::SavedCloseButton, qwt::SavedCloseTip, "close", this);
    select_->setDefault(true);
    for (QPushButton* b : { select_, change_, delete_, insert_ })
        right->addWidget(b);
    right->addStretch();
    right->addWidget(close_);
    layout->addLayout(right);

    connect(select_, &QPushButton::clicked, this, &SavedQueriesDialog::select);
    connect(change_, &QPushButton::clicked, this, &SavedQueriesDialog::change);
    connect(delete_, &QPushButton::clicked, this, &SavedQueriesDialog::removeQuery);
    connect(insert_, &QPushButton::clicked, this, &SavedQueriesDialog::insert);
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_, &QListWidget::currentRowChanged, this, [this] {
        updateButtons();
        showDescription();
    });
    connect(list_, &QListWidget::itemDoubleClicked, this, &SavedQueriesDialog::select);

    if (store_.load() == QueryStore::Result::Damaged)
        say(app_, texts_, qwt::ErrorLoadingCaption, qwt::ErrorLoadingText);
    reload(editing_);
    list_->setFocus();
    resize(420, 260);
}

void SavedQueriesDialog::reload(const QString& highlight)
{
    shown_ = store_.queries(group_);
    list_->clear();
    list_->addItem(texts_.text(qwt::AllRecords)); // row 0: no query at all
    int current = 0;
    for (int i = 0; i < shown_.size(); ++i) {
        const SavedQuery& q = shown_.at(i);
        list_->addItem(q.restricted ? q.name + QLatin1Char(' ') + texts_.text(qwt::RestrictedMark) : q.name);
        if (!highlight.isEmpty() && q.name.compare(highlight.trimmed(), Qt::CaseInsensitive) == 0)
            current = i + 1;
    }
    list_->setCurrentRow(current);
    updateButtons();
    showDescription();
}

std::optional<SavedQuery> SavedQueriesDialog::highlighted() const
{
    const int row = list_->currentRow();
    if (row < 1 || row > shown_.size())
        return std::nullopt;
    return shown_.at(row - 1);
}

void SavedQueriesDialog::updateButtons()
{
    const bool named = highlighted().has_value();
    change_->setEnabled(named);
    delete_->setEnabled(named);
    select_->setEnabled(list_->currentRow() >= 0);
}

void SavedQueriesDialog::showDescription()
{
    const auto q = highlighted();
    if (q)
        description_->setText(q->description);
    else
        description_->setText(shown_.isEmpty() ? texts_.text(qwt::NoSavedQueriesText) : QString());
}

void SavedQueriesDialog::select()
{
    const auto q = highlighted();
    if (q && !isValidQueryExpression(q->expression, fields_)) {
        say(app_, texts_, qwt::NoLongerValidUseCaption, qwt::NoLongerValidUseText);
        return;
    }
    chosen_ = q.value_or(SavedQuery());
    action_ = Action::Select;
    accept();
}

void SavedQueriesDialog::change()
{
    const auto q = highlighted();
    if (!q)
        return;
    if (q->restricted) {
        say(app_, texts_, qwt::RestrictedCaption, qwt::RestrictedText);
        return;
    }
    // A query that no longer fits the list still opens, as typed text, so that it can be put right.
    if (!isValidQueryExpression(q->expression, fields_))
        say(app_, texts_, qwt::NoLongerValidEditCaption, qwt::NoLongerValidEditText);
    chosen_ = *q;
    action_ = Action::Change;
    accept();
}

void SavedQueriesDialog::removeQuery()
{
    const auto q = highlighted();
    if (!q)
        return;
    if (q->restricted) {
        say(app_, texts_, qwt::RestrictedCaption, qwt::RestrictedText);
        return;
    }
    if (app_.messages.show(texts_.text(qwt::DeleteQueryCaption),
            texts_.text(qwt::DeleteQueryText).arg(q->name), Icon::Question, Yes | No, No)
        != Yes)
        return;
    const int row = list_->currentRow();
    switch (store_.remove(group_, q->name)) {
    case QueryStore::Result::Ok:
    case QueryStore::Result::NotFound: // another window deleted it meanwhile
        break;
    case QueryStore::Result::Restricted:
        say(app_, texts_, qwt::RestrictedCaption, qwt::RestrictedText);
        break;
    default:
        app_.messages.show(texts_.text(qwt::NotSavedCaption),
            texts_.text(qwt::NotSavedText).arg(QFileInfo(store_.path()).fileName()), Icon::Stop);
        break;
    }
    reload();
    list_->setCurrentRow(qMin(row, list_->count() - 1));
}

void SavedQueriesDialog::insert()
{
    if (!expressionValid_ || expression_.trimmed().isEmpty()) {
        say(app_, texts_, qwt::InvalidCaption, qwt::InvalidText);
        return;
    }
    saveQueryInteractively(
        this, app_, texts_, store_, group_, expression_, editing_, [this](const QString& saved) {
            if (!saved.isEmpty())
                inserted_ = saved;
            reload(saved);
        });
}

} // namespace td
