#include "data/StandardWarning.h"

#include "core/TextField.h"
#include "data/Database.h"
#include "data/Errors.h"

namespace td {

QString errorTextOf(const StorageError& e)
{
    if (e.code == 90)
        return QStringLiteral("%1 (%2)").arg(e.engineText).arg(e.engineCode);
    return QStringLiteral("%1 (%2)").arg(e.text).arg(e.code);
}

namespace {

struct Entry {
    int number;
    const char* caption;
    Icon icon;
    int buttons;
    int defaultButton;
    const char* endText;   // the program ends after the message (for 2: when answered No)
};

const Entry kEntries[] = {
    {1, "Invalid File", Icon::Information, Ok, Ok, "Invalid File!"},
    {2, "Invalid Key", Icon::Exclamation, Yes | No, Yes, "Invalid Key!"},
    {3, "Key Rebuild Error", Icon::Information, Ok, Ok, "Error Rebuilding Key!"},
    {4, "File Creation Error", Icon::Information, Ok, Ok, "File Creation Error!"},
    {5, "File Creation Error", Icon::Information, Ok, Ok, "File Creation Error!"},
    {10, "Range Error", Icon::Information, Ok, Ok, nullptr},
    {11, "Field Contents Error", Icon::Information, Ok, Ok, nullptr},
    {12, "Referential Integrity Update Error", Icon::Information, Ok, Ok, nullptr},
    {13, "Referential Integrity Delete Error", Icon::Information, Ok, Ok, nullptr},
    {14, "Record Insert Error", Icon::Information, Ok, Ok, nullptr},
    {15, "Update Operation Error", Icon::Information, Ok, Ok, nullptr},
    {16, "Record Update Error", Icon::Information, Yes | No | Cancel, Cancel, nullptr},
    {17, "Delete Operation Error", Icon::Information, Ok, Ok, nullptr},
    {18, "Record Update Error", Icon::Information, Yes | No | Cancel, Cancel, nullptr},
    {20, "Invalid Request", Icon::Information, Ok, Ok, nullptr},
    {21, "Invalid Request", Icon::Information, Ok, Ok, nullptr},
    {23, "Update Cancelled", Icon::Exclamation, Yes | No, No, nullptr},
    {24, "Duplicate Key Error", Icon::Information, Ok, Ok, nullptr},
    {25, "Auto Increment Error", Icon::Information, Retry | Cancel, Cancel, nullptr},
    {30, "File Access Error", Icon::Information, Ok, Ok, "Disk Error"},
    {31, "Process PUT Error", Icon::Information, Ok, Ok, nullptr},
    {32, "Confirm Delete", Icon::Exclamation, Ok | Cancel, Cancel, nullptr},
    {34, "Transaction Framing Error", Icon::Information, Ok, Ok, nullptr},
    {35, "Record Retrieval Error", Icon::Information, Ok, Ok, nullptr},
    {36, "View Open Error", Icon::Information, Ok, Ok, nullptr},
    {38, "Record Was Not Updated", Icon::Information, Ok, Ok, nullptr},
};

const Entry* find(int number)
{
    for (const auto& e : kEntries)
        if (e.number == number)
            return &e;
    return nullptr;
}

QString textFor(int number, const QString& name, const QString& value, const QString& error,
                int errorCode, QString& caption)
{
    switch (number) {
    case 1:
        return "Error: (" + error + ") accessing " + name + ".  Press OK to end this application.";
    case 2:
        return name + " key file is invalid.  Do you want to rebuild the key?";
    case 3:
        return "Error: (" + error + ") repairing key for " + name + ".  Press OK to end this application.";
    case 4:
        return "Error: (" + error + ") creating " + name + ".  Press OK to end this application.";
    case 5:
        return "Error: (" + error + ") opening created file:" + name + ".  Press OK to end this application.";
    case 10:
        return "The value of " + name + " must be between " + value + ".";
    case 11:
        return "The value for " + name + " must be found in the " + value + " file.";
    case 12:
        return "This record is referenced from the file " + name
            + ".  Linking field(s) have been restricted from change and have been reset to original values.";
    case 13:
        return "This record is referenced from the file " + name
            + ".  This record cannot be deleted while these references exist.";
    case 14:
        return "An error was experienced during the update of record.  Error: " + error + ".";
    case 15:
        if (errorCode == 0 || errorCode == 89)
            return QStringLiteral("This record was changed by another station.");
        return "An error (" + error + ") was experienced when attempting to update a record from the file.  Probable Cause: "
            + name + ".";
    case 16:
        return QStringLiteral("An error was experienced changing this record.  Do you want to try to save again?");
    case 17:
        return "An error (" + error + ") was experienced when attempting to delete a record from the file " + name + ".";
    case 18:
        return QStringLiteral("An error was experienced deleting this record.  Do you want to try to save again?");
    case 20:
        return QStringLiteral("This procedure was called to change a record, however changes are not allowed for this "
                              "procedure.  Press OK to return to the calling procedure");
    case 21:
        return QStringLiteral("This procedure was called to delete a record, however deletions are not allowed for this "
                              "procedure.  Press OK to return to the calling procedure");
    case 23:
        return QStringLiteral("Are you sure you want to cancel?");
    case 24:
        return "Adding this record creates a duplicate entry for the key:" + name;
    case 25:
        return "Attempts to automatically number this record have failed.  Error: " + error + ".";
    case 30:
        return "File (" + name + ") could not be opened.  Error: " + error + ".";
    case 31:
        if (name == QLatin1String("Put")) {
            caption = QStringLiteral("Process PUT Error");
            return "An error was experienced when making changes to the " + value + " file.  Error: " + error;
        }
        caption = QStringLiteral("Process DELETE Error");
        return "An error was experienced when deleting a record from the " + value + " file.  Error: " + error;
    case 32:
        return QStringLiteral("You've selected to delete the highlighted record.  Press OK to confirm deletion of this record.");
    case 34:
        return "Error: (" + error + ") attempting to frame the " + name.toLower() + " transaction on " + value + ".  "
            + name + " transaction cancelled.";
    case 35:
        return "Error: (" + error + ") attempting to access a record from the " + name
            + " file.  Returning to previous window.";
    case 36:
        return "Error: (" + error + ") attempting to open the current VIEW.\nFilter and Range Limits ignored.\n\nRelated File: "
            + name;
    case 38:
        return QStringLiteral("This record was changed by another station. Those changes will now be displayed. Use the "
                              "Ditto Button or Ctrl+' to recall your changes.");
    default:
        return {};
    }
}

Message build(int number, const QString& name, const QString& value, const QString& error, int errorCode)
{
    Message m;
    const Entry* e = find(number);
    if (!e)
        return m;
    m.number = number;
    m.caption = QString::fromLatin1(e->caption);
    m.icon = e->icon;
    m.buttons = e->buttons;
    m.defaultButton = e->defaultButton;
    m.text = textFor(number, clip(name), clip(value), error, errorCode, m.caption);
    return m;
}

} // namespace

Message standardMessage(StdMsg message, const QString& name, const QString& value, const QString& error)
{
    const int number = int(message);
    // The error code only decides the wording of message 15; read it back from the text "... (n)".
    int code = -1;
    const int open = error.lastIndexOf(QLatin1Char('('));
    if (open >= 0 && error.endsWith(QLatin1Char(')')))
        code = error.mid(open + 1, error.size() - open - 2).toInt();
    return build(number, name, value, error, code);
}

int StandardWarning(Database& db, StdMsg message, const QString& name, const QString& value)
{
    const int number = int(message);
    const StorageError err = db.hasSavedError() ? db.savedError() : db.lastError();
    db.clearSavedError();
    // Nothing is half-written while the user reads, and no other copy waits on our lock: what is
    // still open of the action is undone first (the guards see it gone and report it).
    db.rollbackAll();
    Message m = build(number, name, value, errorTextOf(err), err.code);
    if (m.number == 0)
        return Ok;
    // Once the program is ending, what its callers run into on their way out is not shown.
    if (db.ended())
        return m.defaultButton;
    const int answer = db.messages().show(m);
    const Entry* e = find(number);
    if (e->endText && (number != 2 || answer != Yes))
        db.endProgram(QString::fromLatin1(e->endText));
    return answer;
}

} // namespace td
