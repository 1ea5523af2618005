#pragma once
// The query wizard's display texts, handed over once at start-up by number (SetQueryWizardText)
// and read by the wizard's windows: operator names, messages, captions, buttons, tips and fonts.

#include <QHash>
#include <QList>
#include <QString>

namespace td {

// The numbers the wizard's windows read. 1..10 are the operators in QueryOperator order.
namespace qwt {
enum : int {
    ErrorLoadingCaption = 31,
    ErrorLoadingText = 32,
    InvalidCaption = 33,
    InvalidText = 34,
    OverwriteCaption = 35,
    OverwriteText = 36,
    NoLongerValidEditCaption = 37,
    NoLongerValidEditText = 38,
    RestrictedCaption = 39,
    RestrictedText = 40,
    SaveCaption = 41,
    SaveText = 42,
    FontFirst = 71, // five pairs of typeface and size, 71..80
    HeadingFontName = 79,
    HeadingFontSize = 80,

    // The condition page.
    AndButton = 101,
    AndTip = 102,
    OrButton = 103,
    OrTip = 104,
    BackButton = 105,
    BackTip = 106,
    NextButton = 107,
    NextTip = 108,
    FinishButton = 109,
    FinishTip = 110,
    ChangeButton = 111,
    ChangeTip = 112,
    DeleteButton = 113,
    DeleteTip = 114,
    ManualButton = 115,
    ManualTip = 116,
    CancelButton = 117,
    CancelTip = 118,
    AndWord = 119,
    OrWord = 120,
    ConditionsPrompt = 121,
    ConditionsTip = 122,
    ExpressionPrompt = 123,
    ExpressionTip = 124,
    SaveQueryButton = 125,
    SaveQueryTip = 126,
    SavedQueriesButton = 127,

    // Field, operation and value.
    FieldPrompt = 151,
    FieldTip = 152,
    OperationPrompt = 153,
    OperationTip = 154,
    ValuePrompt = 155,
    ValueTip = 156,
    ChoiceTip = 157,
    NoValueTip = 158,
    InvalidValueCaption = 159,
    InvalidDateText = 160,
    InvalidTimeText = 161,
    InvalidNumberText = 162,
    NotForDatesText = 163,
    QueryPrompt = 164,
    SavedQueriesTip = 165,
    Instructions = 166,
    NoConditionText = 167,
    NotConditionsText = 168,
    TooLongText = 169,
    PageCount = 170,
    WizardCaption = 171,

    // The saved-queries list.
    SavedCaption = 201,
    SavedChangeButton = 202,
    SavedChangeTip = 203,
    SavedDeleteButton = 204,
    SavedDeleteTip = 205,
    SavedInsertButton = 206,
    SavedInsertTip = 207,
    SavedSelectButton = 208,
    SavedSelectTip = 209,
    SavedCloseButton = 210,
    SavedCloseTip = 211,
    SavedListPrompt = 212,
    DeleteQueryCaption = 213,
    DeleteQueryText = 214, // "%1" is the query's name
    RestrictedMark = 215,
    NoSavedQueriesText = 216,
    DescriptionShownPrompt = 217,
    ListFontName = 218,
    ListFontSize = 219,
    NoLongerValidUseCaption = 220,
    NoLongerValidUseText = 221,

    // The query-description window.
    DescriptionPrompt = 231,
    CancelSaveButton = 232,
    SaveQueryWindowButton = 233,
    OkButton = 234,
    NamePrompt = 235,
    NameTip = 236,
    DescriptionTip = 237,
    NameRequiredCaption = 238,
    NameRequiredText = 239,
    ReplaceCaption = 240,
    ReplaceText = 241,
    SaveQueryWindowTip = 242,
    DescriptionFontName = 243,
    DescriptionFontSize = 244,

    ConvertingQueries = 300,
    ConvertingFile = 301,
    AllRecords = 302,
    CustomQuery = 303,
    NotSavedCaption = 304,
    NotSavedText = 305, // "%1" is the store's file name
};
} // namespace qwt

class QueryWizardTexts {
public:
    void set(int number, const QString& text) { texts_.insert(number, text); }
    // The text handed over under that number, empty when none was.
    QString text(int number) const { return texts_.value(number); }
    bool contains(int number) const { return texts_.contains(number); }
    int count() const { return int(texts_.size()); }
    QList<int> numbers() const; // ascending

private:
    QHash<int, QString> texts_;
};

void SetQueryWizardText(QueryWizardTexts& texts, int number, const QString& text);
// Sizes and other numbers are handed over as their decimal text.
void SetQueryWizardText(QueryWizardTexts& texts, int number, int value);

// Hands every text to the wizard, once per program run before the main frame opens.
void setUpQueryWizard(QueryWizardTexts& texts);

} // namespace td
