#pragma once
// The query wizard: the user picks a field, an operation and a value, adds the condition with AND
// or OR, changes or deletes conditions, sees the expression (or types it with "&Manual"), uses and
// keeps saved queries, and finishes with a filter expression over the list's fields.

#include "setup/QueryWizardExpr.h"
#include "setup/QueryWizardFields.h"
#include "setup/QueryWizardStore.h"

#include <QDialog>
#include <QString>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace td {

class AppState;
class QueryWizardTexts;
class SavedQueriesDialog;

struct QueryWizardResult {
    bool completed = false; // the user finished a query
    QString filter; // the expression; the current filter unchanged when not completed
    // The conditions as the user typed them (the filter holds "Begins With" and "Contains" values
    // upper-cased); empty for a query typed by hand. Handed back to the next opening, they are
    // shown as typed.
    QList<QueryCondition> typed;
};

// Shows the wizard for `caller` (which it blocks) with the list's fields and the current filter,
// and answers when it closes; the saved queries of the group are kept in the store named by
// AppState::queryWizardFileName in the working directory. Texts come from AppState::queryTexts
// (the start-up hand-over). An empty field list shows the initializing error and answers at
// once, not completed. `fields` is copied: the caller may go before the wizard does.
void QueryWizard(AppState& app, const QueryFieldList& fields, const QString& group,
    const QString& currentFilter, QWidget* caller, std::function<void(const QueryWizardResult&)> answered,
    const QList<QueryCondition>& typed = {});

class QueryWizardDialog : public QDialog {
    Q_OBJECT
public:
    // The longest filter the lists take.
    static constexpr int kMaxFilter = 1024;

    QueryWizardDialog(AppState& app, const QueryWizardTexts& texts, const QueryFieldList& fields,
        const QString& group, const QString& currentFilter, QWidget* parent = nullptr);
    ~QueryWizardDialog() override;

    // The expression chosen by "&Finish".
    QString filter() const { return filter_; }
    const QList<QueryCondition>& conditions() const { return conditions_; }
    bool isManual() const;
    QString expressionText() const;
    // The saved query on show (empty for a custom query) and whether it is being edited.
    QString queryName() const { return name_; }
    bool isEditingSaved() const { return editing_; }

    // Shows the conditions as they were typed when they make the current query (else nothing changes).
    void showTyped(const QList<QueryCondition>& typed);

    // "&Finish".
    void accept() override;

private:
    void buildWindow();
    void fieldChosen();
    void operationChosen();
    void conditionHighlighted();
    bool readControls(QueryCondition* c);
    void addCondition(QueryJoin join);
    void changeCondition();
    void deleteCondition();
    void manualToggled(bool on);
    void showConditions(int highlight = -1);
    void setConditionControlsEnabled(bool on);
    void loadExpression(const QString& text);
    void setQueryName(const QString& name, bool editing);
    void markModified();
    // The query as it stands: false (after its message) when it does not fit the list.
    bool currentExpression(QString* out, bool quiet = false);
    void openSavedQueries();
    void savedQueriesClosed(const SavedQueriesDialog& dialog);
    void saveQuery();
    bool eventFilter(QObject* watched, QEvent* event) override;

    AppState& app_;
    const QueryWizardTexts& texts_;
    const QueryFieldList fields_; // its own copy: the list that opened it may close first
    QString group_;
    QueryStore store_;
    QList<QueryCondition> conditions_;
    QString filter_;
    QString name_;
    bool editing_ = false;
    bool modified_ = false;

    QLabel* queryName_ = nullptr;
    QComboBox* field_ = nullptr;
    QComboBox* operation_ = nullptr;
    QLabel* valuePrompt_ = nullptr;
    QLineEdit* value_ = nullptr;
    QComboBox* choice_ = nullptr;
    QPushButton* addAnd_ = nullptr;
    QPushButton* addOr_ = nullptr;
    QPushButton* change_ = nullptr;
    QPushButton* delete_ = nullptr;
    QListWidget* list_ = nullptr;
    QPlainTextEdit* expression_ = nullptr;
    QPushButton* manual_ = nullptr;
    QPushButton* saved_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* finish_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

} // namespace td
