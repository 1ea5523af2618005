#pragma once
// The query wizard's saved queries: the list window ("Saved Queries": select, change, delete and
// insert) and the query-description window in which a query is named before it is saved.

#include "setup/QueryWizardFields.h"
#include "setup/QueryWizardStore.h"

#include <QDialog>
#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace td {

class AppState;
class QueryWizardTexts;

// Name and description of a query about to be saved. "Save" hands them to `store`, which says
// whether the window closes (saved, or given up) or stays for another name.
class QueryDescriptionDialog : public QDialog {
    Q_OBJECT
public:
    enum class Outcome { Saved, Stay, GiveUp };
    QueryDescriptionDialog(const QueryWizardTexts& texts, const QString& name, const QString& description,
        std::function<Outcome(QueryDescriptionDialog&)> store = {}, QWidget* parent = nullptr);
    QString name() const;
    QString description() const;
    // The name saved under; empty when nothing was saved.
    QString saved() const { return saved_; }

private:
    void savePressed();

    QLineEdit* name_;
    QPlainTextEdit* description_;
    std::function<Outcome(QueryDescriptionDialog&)> store_;
    QString saved_;
};

// Asks `caller`'s user for a name and description and saves the expression under them, with
// every question and refusal on the way (name required, replace, overwrite the query being
// edited, restricted, not written); after a refusal the window stays for another name. editing is
// the name of the saved query the wizard is editing, empty for none. `answered` gets the name
// saved under, or an empty text when the user gave up. `store` must outlive the window: it is the
// caller's own (the caller closes the window first when it closes).
void saveQueryInteractively(QWidget* caller, AppState& app, const QueryWizardTexts& texts, QueryStore& store,
    const QString& group, const QString& expression, const QString& editing,
    std::function<void(const QString& saved)> answered);

class SavedQueriesDialog : public QDialog {
    Q_OBJECT
public:
    enum class Action { None, Select, Change };

    // expression: the wizard's query as it stands, for "&Insert" (empty, or invalid with
    // expressionValid false, is refused with "Invalid Query").
    SavedQueriesDialog(AppState& app, const QueryWizardTexts& texts, QueryStore& store, const QString& group,
        const QueryFieldList& fields, const QString& expression, bool expressionValid, const QString& editing,
        QWidget* parent = nullptr);

    Action action() const { return action_; }
    // The query chosen by "&Select" or "&Change"; "All Records" is a query without name or expression.
    const SavedQuery& chosen() const { return chosen_; }
    // The name "&Insert" last saved the wizard's query under, empty when it saved none.
    QString inserted() const { return inserted_; }

private:
    void reload(const QString& highlight = {});
    void updateButtons();
    void showDescription();
    std::optional<SavedQuery> highlighted() const;
    void select();
    void change();
    void removeQuery();
    void insert();

    AppState& app_;
    const QueryWizardTexts& texts_;
    QueryStore& store_;
    QString group_;
    const QueryFieldList& fields_;
    QString expression_;
    bool expressionValid_;
    QString editing_;
    QList<SavedQuery> shown_;

    QListWidget* list_;
    QLabel* description_;
    QPushButton* select_;
    QPushButton* change_;
    QPushButton* delete_;
    QPushButton* insert_;
    QPushButton* close_;
    Action action_ = Action::None;
    SavedQuery chosen_;
    QString inserted_;
};

} // namespace td
