#include "setup/QueryWizardTexts.h"

#include <algorithm>

namespace td {

QList<int> QueryWizardTexts::numbers() const
{
    QList<int> out = texts_.keys();
    std::sort(out.begin(), out.end());
    return out;
}

void SetQueryWizardText(QueryWizardTexts& texts, int number, const QString& text)
{
    texts.set(number, text);
}

void SetQueryWizardText(QueryWizardTexts& texts, int number, int value)
{
    texts.set(number, QString::number(value));
}

namespace {

struct TextEntry {
    int number;
    const char* text;
};

const char kNoLongerValidStart[] = "This query is no longer valid because fields|"
                                   "it uses are not among the fields of this list|"
                                   "or have been removed from the database.|";

// Every text except the font sizes, in number order.
const TextEntry kTexts[] = {
    { 1, "Is Equal To" },
    { 2, "Is NOT Equal To" },
    { 3, "Is Greater Than" },
    { 4, "Is Less Than" },
    { 5, "Is Greater Than or Equal To" },
    { 6, "Is Less Than or Equal To" },
    { 7, "Begins With" },
    { 8, "Contains" },
    { 9, "Is Checked" },
    { 10, "Is Not Checked" },
    { 31, "ErrorLoadingQuery" },
    { 32, "An error has prevented the Query Wizard from loading your query at this time." },
    { 33, "Invalid Query" },
    { 34, "The query you have designed is invalid.|Please review your query and correct the problem." },
    { 35, "Overwrite Query" },
    { 36, "Do you want to overwrite the query you are editing?" },
    { 37, "Query No Longer Valid" },
    // 38 is put together below.
    { 39, "Restricted Query" },
    { 40, "Sorry, this is a restricted query and may not be modified." },
    { 41, "Save Query" },
    { 42, "Would you like to save this query?" },
    { 71, "MS Sans Serif" },
    { 73, "MS Sans Serif" },
    { 75, "MS Sans Serif" },
    { 77, "MS Sans Serif" },
    { 79, "MS Sans Serif" },
    { 100, "" },
    { 101, "Add &AND Condition" },
    { 102, "Add the condition: a song must meet it as well as the conditions before it" },
    { 103, "Add &OR Condition" },
    { 104, "Add the condition as an alternative: songs that meet it are listed too" },
    { 105, "< &Back" },
    { 106, "Go back to the previous page" },
    { 107, "&Next >" },
    { 108, "Go on to the next page" },
    { 109, "&Finish" },
    { 110, "Use this query and close the Query Wizard" },
    { 111, "&Change" },
    { 112, "Replace the highlighted condition by the field, operation and value shown" },
    { 113, "&Delete" },
    { 114, "Remove the highlighted condition" },
    { 115, "&Manual" },
    { 116, "Type the query expression yourself" },
    { 117, "Cancel" },
    { 118, "Close the Query Wizard and keep the search as it was" },
    { 119, "AND" },
    { 120, "OR" },
    { 121, "Co&nditions:" },
    { 122, "A song is listed when it meets every condition joined by AND; OR starts an alternative" },
    { 123, "Query &Expression:" },
    { 124, "The filter the list will use" },
    { 125, "&Save Query..." },
    { 126, "Save this query under a name" },
    { 127, "Saved &Queries..." },
    { 151, "F&ield:" },
    { 152, "Choose the field to test" },
    { 153, "O&peration:" },
    { 154, "Choose how the field is compared with the value" },
    { 155, "&Value:" },
    { 156, "Type the value to compare the field with" },
    { 157, "Choose the value to compare the field with" },
    { 158, "This operation needs no value" },
    { 159, "Invalid Value" },
    { 160, "The value is not a valid date.|Please type a date such as %1." },
    { 161, "The value is not a valid time.|Please type a time such as %1." },
    { 162, "The value is not a valid number for this field." },
    { 163, "Begins With and Contains cannot be used with dates and times." },
    { 164, "Query:" },
    { 165, "Use, change, save or delete the saved queries" },
    { 166, "Choose a field, an operation and a value, then add the condition with AND or OR." },
    { 167, "Highlight a condition in the list first." },
    { 168,
        "The query typed cannot be shown as a list of conditions.|"
        "Do you want to discard it and build the query from conditions?" },
    { 169, "The query is longer than 1024 characters.|Please remove some conditions." },
    { 170, "2" },
    { 171, "Query Wizard" },
    { 200, "" },
    { 201, "Saved Queries" },
    { 202, "&Change" },
    { 203, "Open the highlighted query in the Query Wizard to change it" },
    { 204, "&Delete" },
    { 205, "Delete the highlighted query" },
    { 206, "&Insert" },
    { 207, "Save the query of the Query Wizard as a new saved query" },
    { 208, "&Select" },
    { 209, "Use the highlighted query" },
    { 210, "Close" },
    { 211, "Close the list of saved queries" },
    { 212, "&Queries:" },
    { 213, "Delete Query" },
    { 214, "Delete the saved query \"%1\"?" },
    { 215, "(restricted)" },
    { 216, "There are no saved queries yet." },
    { 217, "Description:" },
    { 218, "MS Sans Serif" },
    { 220, "Query No Longer Valid" },
    // 221 is put together below.
    { 230, "" },
    { 231, "Query Description:" },
    { 232, "Cancel Save" },
    { 233, "Save Query" },
    { 234, "OK" },
    { 235, "&Name:" },
    { 236, "Type a name for the query" },
    { 237, "Say what the query finds" },
    { 238, "Query Name Required" },
    { 239, "Please type a name for the query." },
    { 240, "Replace Query" },
    { 241, "A saved query with this name already exists.|Do you want to replace it?" },
    { 242, "Save the query under this name" },
    { 243, "MS Sans Serif" },
    { 300, "Converting Saved Query Data -- Please Wait..." },
    { 301, "Converting Data File Structure  -- Please Wait..." },
    { 302, "All Records" },
    { 303, "Custom Query..." },
    { 304, "Query Not Saved" },
    { 305,
        "The query could not be written to the file %1.|Check that the working folder may be written to." },
};

const struct {
    int number;
    int size;
} kSizes[] = { { 72, 10 }, { 74, 10 }, { 76, 8 }, { 78, 8 }, { 80, 12 }, { 219, 8 }, { 244, 8 } };

} // namespace

void setUpQueryWizard(QueryWizardTexts& texts)
{
    for (const TextEntry& e : kTexts)
        SetQueryWizardText(texts, e.number, QString::fromLatin1(e.text));
    for (const auto& s : kSizes)
        SetQueryWizardText(texts, s.number, s.size);
    const QString start = QString::fromLatin1(kNoLongerValidStart);
    SetQueryWizardText(texts, qwt::NoLongerValidEditText,
        start
            + QStringLiteral("The Query Wizard shows it as typed text so that|"
                             "you can edit it and make the|"
                             "necessary corrections to fix this query."));
    SetQueryWizardText(texts, qwt::NoLongerValidUseText,
        start
            + QStringLiteral("The query cannot be used as it is.|"
                             "You must edit the query and fix the problems|before it can be used."));
}

} // namespace td
