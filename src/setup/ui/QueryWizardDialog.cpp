#include "setup/ui/QueryWizardDialog.h"

#include "common/AppState.h"
#include "common/ui/FormHost.h"
#include "common/ui/WidgetPosition.h"
#include "core/Messages.h"
#include "setup/QueryWizardTexts.h"
#include "setup/ui/QueryWizardSavedDialog.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFont>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace td {

namespace {

const char kPositionSection[] = "QueryWizard";

QPushButton* button(
    const QueryWizardTexts& texts, int textNumber, int tipNumber, const char* name, QWidget* parent)
{
    auto* b = new QPushButton(texts.text(textNumber), parent);
    b->setObjectName(QLatin1String(name));
    if (tipNumber)
        b->setToolTip(texts.text(tipNumber));
    return b;
}

QLabel* prompt(const QueryWizardTexts& texts, int number, QWidget* buddy, QWidget* parent)
{
    auto* l = new QLabel(texts.text(number), parent);
    l->setBuddy(buddy);
    return l;
}

} // namespace

void QueryWizard(AppState& app, const QueryFieldList& fields, const QString& group,
    const QString& currentFilter, QWidget* caller, std::function<void(const QueryWizardResult&)> answered,
    const QList<QueryCondition>& typed)
{
    if (fields.isEmpty()) {
        app.messages.show(QStringLiteral("Query Wizard Error# ") + QString::number(QueryFieldsEmpty),
            QStringLiteral("An error has prevented the Query Wizard from initializing."), Icon::Stop);
        answered(QueryWizardResult { false, currentFilter, {} });
        return;
    }
    const QString g = group.trimmed().isEmpty() ? fields.group : group.trimmed();
    auto* dialog = new QueryWizardDialog(app, app.queryTexts, fields, g, currentFilter);
    dialog->showTyped(typed);
    openForm(caller, dialog, [dialog, currentFilter, answered = std::move(answered)](int result) {
        QueryWizardResult r { false, currentFilter, {} };
        if (result == QDialog::Accepted) {
            r.completed = true;
            r.filter = dialog->filter();
            if (!dialog->isManual())
                r.typed = dialog->conditions();
        }
        answered(r);
    });
}

QueryWizardDialog::QueryWizardDialog(AppState& app, const QueryWizardTexts& texts,
    const QueryFieldList& fields, const QString& group, const QString& currentFilter, QWidget* parent)
    : QDialog(parent)
    , app_(app)
    , texts_(texts)
    , fields_(fields)
    , group_(group)
    , store_(QDir::current().absoluteFilePath(app.queryWizardFileName))
{
    buildWindow();
    loadExpression(currentFilter);
    // The filter of a saved query shows that query's name.
    if (!currentFilter.trimmed().isEmpty() && store_.load() == QueryStore::Result::Ok) {
        for (const SavedQuery& q : store_.queries(group_)) {
            if (q.expression == currentFilter) {
                setQueryName(q.name, false);
                break;
            }
        }
    }
    restorePosition(this, QString::fromLatin1(kPositionSection));
    field_->setFocus();
}

QueryWizardDialog::~QueryWizardDialog() = default;

void QueryWizardDialog::buildWindow()
{
    setObjectName(QString::fromLatin1(kPositionSection));
    setWindowTitle(texts_.text(qwt::WizardCaption));
    auto* layout = new QVBoxLayout(this);

    auto* heading = new QLabel(texts_.text(qwt::WizardCaption), this);
    QFont headingFont = heading->font();
    if (QFontDatabase::hasFamily(texts_.text(qwt::HeadingFontName)))
        headingFont.setFamily(texts_.text(qwt::HeadingFontName));
    if (const int size = texts_.text(qwt::HeadingFontSize).toInt(); size > 0)
        headingFont.setPointSize(size);
    headingFont.setBold(true);
    heading->setFont(headingFont);
    layout->addWidget(heading);
    auto* instructions = new QLabel(texts_.text(qwt::Instructions), this);
    instructions->setWordWrap(true);
    layout->addWidget(instructions);

    auto* nameRow = new QHBoxLayout;
    queryName_ = new QLabel(this);
    queryName_->setObjectName(QStringLiteral("queryName"));
    nameRow->addWidget(new QLabel(texts_.text(qwt::QueryPrompt), this));
    nameRow->addWidget(queryName_, 1);
    layout->addLayout(nameRow);

    // Field, operation, value.
    auto* grid = new QGridLayout;
    field_ = new QComboBox(this);
    field_->setObjectName(QStringLiteral("field"));
    field_->setToolTip(texts_.text(qwt::FieldTip));
    for (int i = 0; i < fields_.fields.size(); ++i)
        field_->addItem(fields_.fields.at(i).title.trimmed(), i);
    operation_ = new QComboBox(this);
    operation_->setObjectName(QStringLiteral("operation"));
    operation_->setToolTip(texts_.text(qwt::OperationTip));
    value_ = new QLineEdit(this);
    value_->setObjectName(QStringLiteral("value"));
    value_->setToolTip(texts_.text(qwt::ValueTip));
    choice_ = new QComboBox(this);
    choice_->setObjectName(QStringLiteral("choice"));
    choice_->setToolTip(texts_.text(qwt::ChoiceTip));
    choice_->hide();
    valuePrompt_ = prompt(texts_, qwt::ValuePrompt, value_, this);
    grid->addWidget(prompt(texts_, qwt::FieldPrompt, field_, this), 0, 0);
    grid->addWidget(field_, 0, 1);
    grid->addWidget(prompt(texts_, qwt::OperationPrompt, operation_, this), 1, 0);
    grid->addWidget(operation_, 1, 1);
    grid->addWidget(valuePrompt_, 2, 0);
    auto* valueBox = new QHBoxLayout;
    valueBox->setContentsMargins(0, 0, 0, 0);
    valueBox->addWidget(value_);
    valueBox->addWidget(choice_);
    grid->addLayout(valueBox, 2, 1);
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);

    auto* conditionButtons = new QHBoxLayout;
    addAnd_ = button(texts_, qwt::AndButton, qwt::AndTip, "addAnd", this);
    addOr_ = button(texts_, qwt::OrButton, qwt::OrTip, "addOr", this);
    change_ = button(texts_, qwt::ChangeButton, qwt::ChangeTip, "change", this);
    delete_ = button(texts_, qwt::DeleteButton, qwt::DeleteTip, "delete", this);
    for (QPushButton* b : { addAnd_, addOr_, change_, delete_ })
        conditionButtons->addWidget(b);
    conditionButtons->addStretch();
    layout->addLayout(conditionButtons);

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("conditions"));
    list_->setToolTip(texts_.text(qwt::ConditionsTip));
    list_->installEventFilter(this);
    layout->addWidget(prompt(texts_, qwt::ConditionsPrompt, list_, this));
    layout->addWidget(list_, 1);

    expression_ = new QPlainTextEdit(this);
    expression_->setObjectName(QStringLiteral("expression"));
    expression_->setToolTip(texts_.text(qwt::ExpressionTip));
    expression_->setReadOnly(true);
    expression_->setTabChangesFocus(true);
    expression_->setMaximumHeight(expression_->fontMetrics().lineSpacing() * 5);
    manual_ = button(texts_, qwt::ManualButton, qwt::ManualTip, "manual", this);
    manual_->setCheckable(true);
    auto* expressionRow = new QHBoxLayout;
    expressionRow->addWidget(expression_, 1);
    expressionRow->addWidget(manual_, 0, Qt::AlignTop);
    layout->addWidget(prompt(texts_, qwt::ExpressionPrompt, expression_, this));
    layout->addLayout(expressionRow);

    auto* bottom = new QHBoxLayout;
    saved_ = button(texts_, qwt::SavedQueriesButton, qwt::SavedQueriesTip, "savedQueries", this);
    save_ = button(texts_, qwt::SaveQueryButton, qwt::SaveQueryTip, "saveQuery", this);
    finish_ = button(texts_, qwt::FinishButton, qwt::FinishTip, "finish", this);
    cancel_ = button(texts_, qwt::CancelButton, qwt::CancelTip, "cancel", this);
    finish_->setDefault(true);
    bottom->addWidget(saved_);
    bottom->addWidget(save_);
    bottom->addStretch();
    bottom->addWidget(finish_);
    bottom->addWidget(cancel_);
    layout->addLayout(bottom);

    connect(field_, &QComboBox::currentIndexChanged, this, &QueryWizardDialog::fieldChosen);
    connect(operation_, &QComboBox::currentIndexChanged, this, &QueryWizardDialog::operationChosen);
    connect(addAnd_, &QPushButton::clicked, this, [this] { addCondition(QueryJoin::And); });
    connect(addOr_, &QPushButton::clicked, this, [this] { addCondition(QueryJoin::Or); });
    connect(change_, &QPushButton::clicked, this, &QueryWizardDialog::changeCondition);
    connect(delete_, &QPushButton::clicked, this, &QueryWizardDialog::deleteCondition);
    connect(list_, &QListWidget::currentRowChanged, this, &QueryWizardDialog::conditionHighlighted);
    connect(manual_, &QPushButton::toggled, this, &QueryWizardDialog::manualToggled);
    connect(expression_, &QPlainTextEdit::textChanged, this, [this] {
        if (isManual())
            markModified();
    });
    connect(saved_, &QPushButton::clicked, this, &QueryWizardDialog::openSavedQueries);
    connect(save_, &QPushButton::clicked, this, &QueryWizardDialog::saveQuery);
    connect(finish_, &QPushButton::clicked, this, &QueryWizardDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(this, &QDialog::finished, this,
        [this] { savePosition(this, QString::fromLatin1(kPositionSection)); });

    fieldChosen();
    setQueryName({}, false);
    resize(560, 480);
}

bool QueryWizardDialog::isManual() const
{
    return manual_->isChecked();
}

QString QueryWizardDialog::expressionText() const
{
    return expression_->toPlainText();
}

void QueryWizardDialog::fieldChosen()
{
    const int index = field_->currentData().toInt();
    if (index < 0 || index >= fields_.fields.size())
        return;
    const QueryField& f = fields_.fields.at(index);
    const int previous = operation_->currentData().toInt();
    {
        const QSignalBlocker block(operation_);
        operation_->clear();
        for (int op : queryOperatorsFor(f))
            operation_->addItem(texts_.text(op), op);
        const int keep = operation_->findData(previous);
        operation_->setCurrentIndex(keep >= 0 ? keep : 0);
    }
    choice_->clear();
    choice_->addItems(f.choices);
    choice_->setVisible(f.isChoice());
    value_->setVisible(!f.isChoice());
    valuePrompt_->setBuddy(f.isChoice() ? static_cast<QWidget*>(choice_) : value_);
    value_->setMaxLength(f.isNumber() ? 64 : qMax(1, f.length));
    value_->setPlaceholderText(queryValueExample(f));
    operationChosen();
}

void QueryWizardDialog::operationChosen()
{
    const bool needsValue = queryOperatorNeedsValue(operation_->currentData().toInt());
    const bool enabled = needsValue && field_->isEnabled();
    value_->setEnabled(enabled);
    choice_->setEnabled(enabled);
    valuePrompt_->setEnabled(enabled);
    value_->setToolTip(texts_.text(needsValue ? qwt::ValueTip : qwt::NoValueTip));
}

bool QueryWizardDialog::readControls(QueryCondition* c)
{
    const int index = field_->currentData().toInt();
    if (index < 0 || index >= fields_.fields.size())
        return false;
    const QueryField& f = fields_.fields.at(index);
    const int op = operation_->currentData().toInt();
    const QueryValue v = readQueryValue(f, op, f.isChoice() ? choice_->currentText() : value_->text());
    if (!v.ok) {
        QString text = texts_.text(v.errorText);
        if (text.contains(QLatin1String("%1")))
            text = text.arg(queryValueExample(f));
        app_.messages.show(texts_.text(qwt::InvalidValueCaption), text, Icon::Exclamation);
        if (f.isChoice()) {
            choice_->setFocus();
        } else {
            value_->setFocus();
            value_->selectAll();
        }
        return false;
    }
    c->field = f.label;
    c->op = op;
    c->value = v.value;
    return true;
}

void QueryWizardDialog::addCondition(QueryJoin join)
{
    QueryCondition c;
    if (!readControls(&c))
        return;
    c.join = conditions_.isEmpty() ? QueryJoin::And : join;
    conditions_.append(c);
    markModified();
    showConditions(int(conditions_.size()) - 1);
    field_->setFocus();
}

void QueryWizardDialog::changeCondition()
{
    const int row = list_->currentRow();
    if (row < 0 || row >= conditions_.size()) {
        app_.messages.show(
            texts_.text(qwt::WizardCaption), texts_.text(qwt::NoConditionText), Icon::Exclamation);
        return;
    }
    QueryCondition c;
    if (!readControls(&c))
        return;
    c.join = conditions_.at(row).join;
    conditions_[row] = c;
    markModified();
    showConditions(row);
}

void QueryWizardDialog::deleteCondition()
{
    const int row = list_->currentRow();
    if (row < 0 || row >= conditions_.size()) {
        app_.messages.show(
            texts_.text(qwt::WizardCaption), texts_.text(qwt::NoConditionText), Icon::Exclamation);
        return;
    }
    conditions_.removeAt(row);
    // The new first condition starts the query: its join no longer means anything.
    if (!conditions_.isEmpty())
        conditions_.first().join = QueryJoin::And;
    markModified();
    showConditions(qMin(row, int(conditions_.size()) - 1));
}

void QueryWizardDialog::conditionHighlighted()
{
    const int row = list_->currentRow();
    const bool any = row >= 0 && row < conditions_.size() && !isManual();
    change_->setEnabled(any);
    delete_->setEnabled(any);
    if (!any)
        return;
    // The highlighted condition comes back into the controls, ready to be changed.
    const QueryCondition& c = conditions_.at(row);
    const int index = fields_.indexOf(c.field);
    if (index < 0)
        return;
    field_->setCurrentIndex(field_->findData(index));
    operation_->setCurrentIndex(qMax(0, operation_->findData(c.op)));
    const QueryField& f = fields_.fields.at(index);
    if (f.isChoice())
        choice_->setCurrentIndex(qMax(0, choice_->findText(queryChoiceFor(f, c.value))));
    else
        value_->setText(queryOperatorNeedsValue(c.op) ? displayQueryValue(f, c.value) : QString());
}

void QueryWizardDialog::showConditions(int highlight)
{
    {
        const QSignalBlocker block(list_);
        list_->clear();
        for (int i = 0; i < conditions_.size(); ++i)
            list_->addItem(describeCondition(fields_, conditions_.at(i), i == 0, texts_));
        list_->setCurrentRow(highlight);
    }
    if (!isManual()) {
        const QSignalBlocker block(expression_);
        expression_->setPlainText(buildQueryExpression(conditions_, fields_));
    }
    // The highlighted condition shows in the controls, ready to be changed.
    conditionHighlighted();
}

void QueryWizardDialog::setConditionControlsEnabled(bool on)
{
    for (QWidget* w : std::initializer_list<QWidget*> { field_, operation_, addAnd_, addOr_, list_ })
        w->setEnabled(on);
    operationChosen();
    const bool any = on && list_->currentRow() >= 0;
    change_->setEnabled(any);
    delete_->setEnabled(any);
}

void QueryWizardDialog::manualToggled(bool on)
{
    if (on) {
        expression_->setReadOnly(false);
        setConditionControlsEnabled(false);
        expression_->setFocus();
        expression_->moveCursor(QTextCursor::End);
        return;
    }
    const QString text = expression_->toPlainText();
    auto back = decomposeQueryExpression(text, fields_);
    if (!back) {
        const int answer = app_.messages.show(texts_.text(qwt::WizardCaption),
            texts_.text(qwt::NotConditionsText), Icon::Question, Yes | No, No);
        if (answer != Yes) {
            const QSignalBlocker block(manual_);
            manual_->setChecked(true);
            expression_->setFocus();
            return;
        }
        back = QList<QueryCondition>();
        markModified();
    }
    conditions_ = *back;
    expression_->setReadOnly(true);
    setConditionControlsEnabled(true);
    showConditions(conditions_.isEmpty() ? -1 : 0);
    field_->setFocus();
}

void QueryWizardDialog::loadExpression(const QString& text)
{
    const auto back = decomposeQueryExpression(text, fields_);
    {
        const QSignalBlocker block(manual_);
        manual_->setChecked(!back.has_value());
    }
    expression_->setReadOnly(back.has_value());
    setConditionControlsEnabled(back.has_value());
    conditions_ = back.value_or(QList<QueryCondition>());
    {
        const QSignalBlocker block(expression_);
        expression_->setPlainText(back ? buildQueryExpression(conditions_, fields_) : text.trimmed());
    }
    showConditions(conditions_.isEmpty() ? -1 : 0);
    modified_ = false;
}

void QueryWizardDialog::showTyped(const QList<QueryCondition>& typed)
{
    if (typed.isEmpty() || isManual()
        || buildQueryExpression(typed, fields_) != buildQueryExpression(conditions_, fields_))
        return;
    conditions_ = typed;
    showConditions(0);
}

void QueryWizardDialog::setQueryName(const QString& name, bool editing)
{
    name_ = name.trimmed();
    editing_ = editing && !name_.isEmpty();
    queryName_->setText(name_.isEmpty() ? texts_.text(qwt::CustomQuery) : name_);
}

void QueryWizardDialog::markModified()
{
    modified_ = true;
}

bool QueryWizardDialog::currentExpression(QString* out, bool quiet)
{
    QString text
        = isManual() ? expression_->toPlainText().trimmed() : buildQueryExpression(conditions_, fields_);
    if (!isValidQueryExpression(text, fields_)) {
        if (!quiet) {
            app_.messages.show(
                texts_.text(qwt::InvalidCaption), texts_.text(qwt::InvalidText), Icon::Exclamation);
            expression_->setFocus();
        }
        return false;
    }
    if (text.size() > kMaxFilter) {
        if (!quiet)
            app_.messages.show(
                texts_.text(qwt::InvalidCaption), texts_.text(qwt::TooLongText), Icon::Exclamation);
        return false;
    }
    *out = text;
    return true;
}

void QueryWizardDialog::openSavedQueries()
{
    QString expression;
    const bool valid = currentExpression(&expression, true);
    auto* dialog = new SavedQueriesDialog(
        app_, texts_, store_, group_, fields_, expression, valid, editing_ ? name_ : QString());
    openForm(this, dialog, [this, dialog](int) { savedQueriesClosed(*dialog); });
}

void QueryWizardDialog::savedQueriesClosed(const SavedQueriesDialog& dialog)
{
    if (!dialog.inserted().isEmpty()) {
        setQueryName(dialog.inserted(), true);
        modified_ = false;
    }
    if (dialog.action() == SavedQueriesDialog::Action::None)
        return;

    // Loading another query over one the user has been building asks first.
    const bool hasQuery
        = isManual() ? !expression_->toPlainText().trimmed().isEmpty() : !conditions_.isEmpty();
    if (modified_ && hasQuery
        && app_.messages.show(texts_.text(qwt::OverwriteCaption), texts_.text(qwt::OverwriteText),
               Icon::Question, Yes | No, Yes)
            != Yes)
        return;
    const SavedQuery& q = dialog.chosen();
    loadExpression(q.expression);
    setQueryName(q.name, dialog.action() == SavedQueriesDialog::Action::Change);
    if (dialog.action() == SavedQueriesDialog::Action::Select)
        finish_->setFocus();
    else
        (isManual() ? static_cast<QWidget*>(expression_) : field_)->setFocus();
}

void QueryWizardDialog::saveQuery()
{
    QString expression;
    if (!currentExpression(&expression))
        return;
    if (expression.isEmpty()) {
        app_.messages.show(
            texts_.text(qwt::InvalidCaption), texts_.text(qwt::InvalidText), Icon::Exclamation);
        return;
    }
    saveQueryInteractively(this, app_, texts_, store_, group_, expression, editing_ ? name_ : QString(),
        [this](const QString& saved) {
            if (saved.isEmpty())
                return;
            setQueryName(saved, true);
            modified_ = false;
        });
}

void QueryWizardDialog::accept()
{
    // A condition set up in the controls but never added is the query when there is no other:
    // choosing a field, an operation and a value and pressing Enter searches at once.
    if (!isManual() && conditions_.isEmpty()) {
        const int op = operation_->currentData().toInt();
        const QueryField* f = fields_.find(fields_.fields.value(field_->currentData().toInt()).label);
        const bool pending
            = f && (!queryOperatorNeedsValue(op) || f->isChoice() || !value_->text().trimmed().isEmpty());
        if (pending) {
            QueryCondition c;
            if (!readControls(&c))
                return;
            conditions_.append(c);
            markModified();
            showConditions(0);
        }
    }
    QString expression;
    if (!currentExpression(&expression))
        return;

    if (editing_ && modified_ && !expression.isEmpty()) {
        const int answer = app_.messages.show(texts_.text(qwt::SaveCaption), texts_.text(qwt::SaveText),
            Icon::Question, Yes | No | Cancel, Yes);
        if (answer == Cancel)
            return;
        if (answer == Yes) {
            SavedQuery q;
            q.group = group_;
            q.name = name_;
            q.expression = expression;
            store_.load();
            if (const auto old = store_.find(group_, name_))
                q.description = old->description;
            const auto result = store_.save(q);
            if (result == QueryStore::Result::Restricted) {
                app_.messages.show(
                    texts_.text(qwt::RestrictedCaption), texts_.text(qwt::RestrictedText), Icon::Exclamation);
            } else if (result != QueryStore::Result::Ok) {
                app_.messages.show(texts_.text(qwt::NotSavedCaption),
                    texts_.text(qwt::NotSavedText).arg(app_.queryWizardFileName), Icon::Stop);
            }
        }
    }
    filter_ = expression;
    QDialog::accept();
}

bool QueryWizardDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier && list_->currentRow() >= 0) {
            deleteCondition();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace td
