// tunedeck-csv: the CSV import and export of the catalogue without its windows.
//
//   tunedeck-csv import FILE.csv [--auto] [--assign Field_1=MUS:Artist,...] [--strip-header]
//                                [--picture Field_3=@D2,...] [--no-link]
//   tunedeck-csv export FILE.csv [--fields MUS:Artist,MUS:Title=@s40,...] [--header]
//
// Works on the program's data folder (TDP_DATA_DIR, else the user's data folder for the program).
// Messages go to stderr; a progress line is shown when stderr is a terminal. Exit status: 0 done,
// 1 the run stopped on an error (what was done before stays), 2 the file cannot be read or
// written, 3 no field assigned or chosen, 64 wrong use, 130 interrupted (what was done stays).

#include "core/Messages.h"
#include "data/Database.h"
#include "exchange/CsvText.h"
#include "exchange/ExportRun.h"
#include "exchange/ImportRun.h"
#include "exchange/ImportSetup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr int kDone = 0;
constexpr int kStopped = 1;
constexpr int kFileError = 2;
constexpr int kNothingChosen = 3;
constexpr int kUsage = 64;
constexpr int kInterrupted = 130;

constexpr const char* kUsageText
    = "usage: tunedeck-csv import FILE.csv [--auto] [--assign Field_1=MUS:Artist,...] [--strip-header]\n"
      "                                    [--picture Field_3=@D2,...] [--no-link]\n"
      "       tunedeck-csv export FILE.csv [--fields MUS:Artist,MUS:Title=@s40,...] [--header]\n"
      "Import adds one song per line; --auto assigns the targets named by a header line and skips it.\n"
      "Imported songs are numbered and linked to their albums; --no-link leaves that to housekeeping.\n"
      "Export writes every song in artist order; without --fields all 23 fields.\n"
      "The data folder is TDP_DATA_DIR, else the program's own.\n";

volatile std::sig_atomic_t interrupted = 0;

void onInterrupt(int)
{
    interrupted = 1;
}

void printErr(const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fputc('\n', stderr);
}

// Messages become lines on stderr; every question takes its default answer.
class StderrMessages : public td::MessageResponder {
public:
    int ask(const td::Message& m) override
    {
        printErr(QStringLiteral("%1: %2").arg(
            m.caption, m.displayText().replace(QLatin1Char('\n'), QLatin1Char(' '))));
        return m.defaultButton;
    }
};

int usage(const QString& why)
{
    if (!why.isEmpty())
        printErr(QStringLiteral("tunedeck-csv: ") + why);
    std::fputs(kUsageText, stderr);
    return kUsage;
}

bool enterDataFolder()
{
    QString dir = qEnvironmentVariable("TDP_DATA_DIR");
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!QDir().mkpath(dir) || !QDir::setCurrent(dir)) {
        printErr(QStringLiteral("tunedeck-csv: cannot use the data folder %1").arg(dir));
        return false;
    }
    return true;
}

// Runs to the end with a progress line on a terminal and Ctrl+C as the Cancel button.
void drive(td::BatchRun& run)
{
    const bool terminal = isatty(fileno(stderr));
    int shown = -1;
    auto progress = [&](const QString& text) {
        if (terminal)
            std::fprintf(stderr, "\r%-20s", text.toLocal8Bit().constData());
    };
    progress(td::BatchRun::percentText(0));
    while (run.step(run.sliceSize())) {
        if (interrupted)
            run.cancel();
        if (run.isCancelled())
            break;
        if (run.percent() != shown) {
            shown = run.percent();
            progress(td::BatchRun::percentText(shown));
        }
    }
    if (terminal)
        std::fputc('\r', stderr);
    run.finish();
}

// "a=b,c=d" into pairs; false on an item without "=".
bool pairs(const QString& list, QList<QPair<QString, QString>>& out)
{
    for (const QString& item : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const qsizetype eq = item.indexOf(QLatin1Char('='));
        if (eq <= 0)
            return false;
        out.append({ item.left(eq).trimmed(), item.mid(eq + 1).trimmed() });
    }
    return true;
}

// Opens the catalogue's tables a run needs; a table that cannot be opened stops the run after its
// one message. An import reaches the data folder only after its input has been read, so a file
// that cannot be read, or wrong use, leaves the folder as it was.
bool openCatalogue(td::Database& db, std::initializer_list<td::TableId> tables)
{
    for (td::TableId t : tables)
        if (!db.useTable(t))
            return false;
    return true;
}

int runImport(td::Messages& messages, const QString& file, const QStringList& args)
{
    bool autoAssign = false;
    bool strip = false;
    bool link = true;
    QList<QPair<QString, QString>> assigns;
    QList<QPair<QString, QString>> pictures;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String("--auto")) {
            autoAssign = true;
        } else if (a == QLatin1String("--strip-header")) {
            strip = true;
        } else if (a == QLatin1String("--no-link")) {
            link = false;
        } else if ((a == QLatin1String("--assign") || a == QLatin1String("--picture"))
            && i + 1 < args.size()) {
            if (!pairs(args.at(++i), a == QLatin1String("--assign") ? assigns : pictures))
                return usage(QStringLiteral("%1 wants FIELD=VALUE items separated by commas").arg(a));
        } else {
            return usage(QStringLiteral("unknown option %1").arg(a));
        }
    }

    td::CsvReader reader(messages);
    if (reader.open(file) != td::CsvReader::OpenResult::Opened)
        return kFileError;
    td::ImportOptions options;
    if (!td::buildImportFields(reader, options.fields)) {
        reader.close();
        return reader.failed() ? kFileError : kNothingChosen;
    }
    auto fieldIndex = [&](const QString& name) {
        for (int i = 0; i < options.fields.size(); ++i)
            if (options.fields.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    };
    for (const auto& [field, picture] : std::as_const(pictures)) {
        const int i = fieldIndex(field);
        if (i < 0)
            return usage(QStringLiteral("the file has no import field %1 (it has Field_1 to Field_%2)")
                             .arg(field)
                             .arg(options.fields.size()));
        if (!td::pictureEntryValid(picture))
            return usage(td::importtext::kInvalidPictureText);
        options.fields[i].picture = picture;
    }
    for (const auto& [field, target] : std::as_const(assigns)) {
        const int i = fieldIndex(field);
        if (i < 0)
            return usage(QStringLiteral("the file has no import field %1 (it has Field_1 to Field_%2)")
                             .arg(field)
                             .arg(options.fields.size()));
        int t = -1;
        for (int k = 0; k < td::importTargets().size(); ++k)
            if (td::importTargets().at(k).compare(target, Qt::CaseInsensitive) == 0)
                t = k;
        if (t < 0)
            return usage(QStringLiteral("%1 is not a field an import can fill").arg(target));
        options.assignment.assign(t, options.fields.at(i).name);
    }
    if (autoAssign) {
        td::autoAssign(options.fields, options.assignment);
        strip = true;
    }
    options.stripHeader = strip;
    options.link = link;
    if (!options.assignment.any()) {
        messages.show(td::importtext::kNoFieldsCaption, td::importtext::kNoFieldsText, td::Icon::Exclamation);
        return kNothingChosen;
    }

    if (!enterDataFolder())
        return kFileError;
    // Every commit writes journals beside the data files: a folder that cannot be written to
    // stops the import before it begins.
    if (!QFileInfo(QDir::currentPath()).isWritable()) {
        printErr(QStringLiteral("tunedeck-csv: the data folder %1 cannot be written to")
                     .arg(QDir::toNativeSeparators(QDir::currentPath())));
        return kFileError;
    }
    td::Database db(messages, QDir::currentPath());
    if (!openCatalogue(db, { td::TableId::Tunedeck, td::TableId::Categories }))
        return kStopped;
    // Slices of the run's own length, well inside the lock wait of the program's saves; between
    // slices the run lets the saves of other copies go first.
    td::ImportRun run(db, reader, options);
    if (run.start())
        drive(run);
    std::printf("%lld songs imported, %lld categories added.\n", static_cast<long long>(run.songsAdded()),
        static_cast<long long>(run.categoriesAdded()));
    if (run.stopped() || db.ended())
        return kStopped;
    if (run.isCancelled())
        return kInterrupted;
    printErr(td::BatchRun::completedText());
    return kDone;
}

int runExport(td::Database& db, const QString& file, const QStringList& args)
{
    td::ExportOptions options;
    options.fileName = file;
    options.fields = td::allExportFields();
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String("--header")) {
            options.header = true;
        } else if (a == QLatin1String("--fields") && i + 1 < args.size()) {
            options.fields.clear();
            for (const QString& item : args.at(++i).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                const qsizetype eq = item.indexOf(QLatin1Char('='));
                const QString name = (eq < 0 ? item : item.left(eq)).trimmed();
                td::ExportField chosen;
                for (const td::ExportField& f : td::allExportFields())
                    if (f.name.compare(name, Qt::CaseInsensitive) == 0)
                        chosen = f;
                if (chosen.name.isEmpty())
                    return usage(QStringLiteral("%1 is not a field that can be exported").arg(name));
                if (eq >= 0) {
                    chosen.picture = item.mid(eq + 1).trimmed();
                    if (!td::pictureEntryValid(chosen.picture))
                        return usage(td::importtext::kInvalidPictureText);
                }
                td::exportlist::add(options.fields, { chosen });
            }
        } else {
            return usage(QStringLiteral("unknown option %1").arg(a));
        }
    }
    if (options.fields.isEmpty()) {
        db.messages().show(
            td::exporttext::kNoFieldsCaption, td::exporttext::kNoFieldsText, td::Icon::Exclamation);
        return kNothingChosen;
    }
    if (!openCatalogue(db, { td::TableId::Tunedeck, td::TableId::Categories }))
        return kStopped;
    td::ExportRun run(db, options);
    if (!run.start())
        return db.ended() ? kStopped : kFileError;
    drive(run);
    std::printf("%lld songs exported.\n", static_cast<long long>(run.songsWritten()));
    if (run.stopped() || db.ended())
        return kStopped;
    if (run.isCancelled())
        return kInterrupted;
    printErr(td::BatchRun::completedText());
    return kDone;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tunedeck"));
    QCoreApplication::setOrganizationName(QStringLiteral("tunedeck"));
    QStringList args = QCoreApplication::arguments().mid(1);
    if (!args.isEmpty() && (args.first() == QLatin1String("-h") || args.first() == QLatin1String("--help"))) {
        std::fputs(kUsageText, stdout);
        return kDone;
    }
    if (args.size() < 2
        || (args.first() != QLatin1String("import") && args.first() != QLatin1String("export")))
        return usage(QString());
    const bool importing = args.takeFirst() == QLatin1String("import");
    // The file is named from where the command was given, before moving to the data folder.
    const QString file = QDir::current().absoluteFilePath(args.takeFirst());

    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    td::Messages messages;
    messages.setResponder(std::make_shared<StderrMessages>());
    if (importing)
        return runImport(messages, file, args);
    if (!enterDataFolder())
        return kFileError;
    td::Database db(messages, QDir::currentPath());
    return runExport(db, file, args);
}
