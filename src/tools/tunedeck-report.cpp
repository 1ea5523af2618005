// tunedeck-report: prints one of the catalogue's reports to a PDF file, without a window.
//
//   tunedeck-report --report NAME --out FILE.pdf [options]
//
// The catalogue is the one the program uses: the folder TDP_DATA_DIR names, else the program's
// data folder; the settings (the user key's name, the date format) come from its TDPRO97.INI.
// Exit status: 0 the PDF was written, 1 nothing to print, 2 the catalogue cannot be read,
// 3 the PDF cannot be written, 64 wrong use.

#include "common/GlobalSettings.h"
#include "core/ConfigPaths.h"
#include "core/Messages.h"
#include "data/Collation.h"
#include "data/Database.h"
#include "data/TableHandle.h"
#include "reports/BinderPages.h"
#include "reports/PaperSaver.h"
#include "reports/PdfOutput.h"
#include "reports/ReportListings.h"
#include "reports/ReportRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

enum Exit { Written = 0, NothingPrinted = 1, NoCatalogue = 2, NotWritten = 3, Usage = 64 };

void print(FILE* out, const QString& line)
{
    std::fputs(line.toLocal8Bit().constData(), out);
    std::fputc('\n', out);
}

int fail(int code, const QString& text)
{
    print(stderr, QStringLiteral("tunedeck-report: ") + text);
    return code;
}

// Messages of the report run go to standard error; every question takes its default answer.
class StderrMessages : public td::MessageResponder {
public:
    int ask(const td::Message& m) override
    {
        print(stderr, QStringLiteral("tunedeck-report: %1 %2").arg(m.caption, m.displayText().simplified()));
        return m.defaultButton;
    }
};

const QString kBinder = QStringLiteral("PrintCDBinderPages");
const QString kFlap = QStringLiteral("PrintCDFlapPages");
const QString kOneAlbum = QStringLiteral("PrintOneAlbum");
const QString kCategory = QStringLiteral("PrintByCategory");
const QString kPaperSaver = QStringLiteral("PrintPaperSaver");
const QString kPaperSaverTitle = QStringLiteral("PrintPaperSaverTitle");

QStringList reportNames()
{
    QStringList names = td::reportListingNames();
    names << kPaperSaver << kPaperSaverTitle << kBinder << kFlap;
    return names;
}

QString usage()
{
    QString u = QStringLiteral(
        "usage: tunedeck-report --report NAME --out FILE.pdf [options]\n"
        "Prints a report of the catalogue in TDP_DATA_DIR (else the program's data folder) to a PDF file.\n"
        "\n"
        "options:\n"
        "  --report NAME        the report (below; letter case does not matter)\n"
        "  --out FILE.pdf       the PDF file to write (replaced when it exists)\n"
        "  --style STYLE        standard (the default) or brief, for the song and album listings\n"
        "  --selected PREFIX    only the records whose report field starts with PREFIX\n"
        "  --category NAME      the category of PrintByCategory\n"
        "  --album TITLE        the album of PrintOneAlbum\n"
        "  --filter EXPRESSION  a search for the paper-saver listings (\"MUS:Media = 'CD'\")\n"
        "  --from NUMBER        binder and flap pages: the first file number (default: the first)\n"
        "  --to NUMBER          binder and flap pages: the last file number (default: the last)\n"
        "  -h, --help           this text\n"
        "\n"
        "exit status: 0 written, 1 nothing to print, 2 the catalogue cannot be read,\n"
        "             3 the PDF cannot be written, 64 wrong use\n"
        "\n"
        "reports:\n");
    for (const QString& n : reportNames())
        u += QStringLiteral("  ") + n + QLatin1Char('\n');
    return u;
}

struct Options {
    QString report;
    QString out;
    QString style = QStringLiteral("standard");
    QString selected;
    bool haveSelected = false;
    QString category;
    QString album;
    QString filter;
    QString from;
    QString to;
    bool haveTo = false;
};

// Parses the arguments; an empty answer is fine, otherwise it says what is wrong.
QString parse(const QStringList& args, Options& o, bool& help)
{
    const QStringList valued { QStringLiteral("--report"), QStringLiteral("--out"), QStringLiteral("--style"),
        QStringLiteral("--selected"), QStringLiteral("--category"), QStringLiteral("--album"),
        QStringLiteral("--filter"), QStringLiteral("--from"), QStringLiteral("--to") };
    for (int i = 1; i < args.size(); ++i) {
        QString a = args.at(i);
        if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            help = true;
            return {};
        }
        QString value;
        const qsizetype eq = a.indexOf(QLatin1Char('='));
        if (a.startsWith(QLatin1String("--")) && eq > 0) {
            value = a.mid(eq + 1);
            a = a.left(eq);
            if (!valued.contains(a))
                return QStringLiteral("unknown option %1").arg(a);
        } else if (valued.contains(a)) {
            if (i + 1 >= args.size())
                return QStringLiteral("%1 needs a value").arg(a);
            value = args.at(++i);
        } else {
            return QStringLiteral("unknown option %1").arg(a);
        }
        if (a == QLatin1String("--report"))
            o.report = value;
        else if (a == QLatin1String("--out"))
            o.out = value;
        else if (a == QLatin1String("--style"))
            o.style = value.toLower();
        else if (a == QLatin1String("--selected")) {
            o.selected = value;
            o.haveSelected = true;
        } else if (a == QLatin1String("--category"))
            o.category = value;
        else if (a == QLatin1String("--album"))
            o.album = value;
        else if (a == QLatin1String("--filter"))
            o.filter = value;
        else if (a == QLatin1String("--from"))
            o.from = value;
        else if (a == QLatin1String("--to")) {
            o.to = value;
            o.haveTo = true;
        }
    }
    if (o.report.isEmpty())
        return QStringLiteral("--report is missing");
    if (o.out.isEmpty())
        return QStringLiteral("--out is missing");
    if (!o.out.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        return QStringLiteral("the output file must end in .pdf: %1").arg(o.out);
    if (o.style != QLatin1String("standard") && o.style != QLatin1String("brief"))
        return QStringLiteral("--style must be standard or brief, not %1").arg(o.style);
    return {};
}

// The folder of the data files, as the program picks it.
QString dataFolder()
{
    const QString dir = qEnvironmentVariable("TDP_DATA_DIR");
    return dir.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) : dir;
}

// The id of the category of that name (letter case ignored), 0 when there is none.
qint64 findCategory(td::Database& db, const QString& name)
{
    td::TableHandle t(db, td::TableId::Categories);
    const int key = t.key(QStringLiteral("KeyCategory"));
    t.clear();
    t.setValue(QStringLiteral("Category"), name.trimmed());
    if (t.get(key) != 0)
        return 0;
    return t.value(QStringLiteral("CategoryID")).toLongLong();
}

// The id of the first album (by artist) of that title, 0 when there is none.
qint32 findAlbum(td::Database& db, const QString& title)
{
    td::TableHandle t(db, td::TableId::Album);
    const int key = t.key(QStringLiteral("KeyAlbum"));
    if (t.set(key, { title.trimmed() }) != 0 || t.next() != 0)
        return 0;
    if (!td::keyTextEqual(t.value(QStringLiteral("Album")).toString(), title.trimmed()))
        return 0;
    return t.value(QStringLiteral("AlbumID")).toInt();
}

// An output path the tool can write: its folder exists and takes files, and an existing file is
// not a folder and may be replaced.
QString checkOutput(const QString& path)
{
    const QFileInfo file(path);
    const QFileInfo dir(file.absolutePath());
    if (!dir.isDir())
        return QStringLiteral("cannot write %1: the folder %2 does not exist").arg(path, dir.filePath());
    if (file.isDir())
        return QStringLiteral("cannot write %1: it is a folder").arg(path);
    if (!dir.isWritable() || (file.exists() && !file.isWritable()))
        return QStringLiteral("cannot write %1: permission denied").arg(path);
    return {};
}

} // namespace

int main(int argc, char** argv)
{
    // The pages are measured with the system's fonts, which needs a GUI application but no
    // screen: the tool runs on no display at all, unless told otherwise.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Run outside a desktop session (cron, a shell over ssh), the tool has no runtime folder: it
    // takes a private one of its own for this run rather than have Qt warn about it.
    std::unique_ptr<QTemporaryDir> runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        runtime = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/tunedeck-report-XXXXXX"));
        if (runtime->isValid()) {
            QFile::setPermissions(runtime->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime->path()));
        }
    }
    // Read before the application takes out the options it knows itself ("-style", "-platform").
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("tunedeck"));
    QGuiApplication::setOrganizationName(QStringLiteral("tunedeck"));

    Options o;
    bool help = false;
    const QString wrong = parse(args, o, help);
    if (help) {
        std::fputs(usage().toLocal8Bit().constData(), stdout);
        return Written;
    }
    if (!wrong.isEmpty())
        return fail(Usage, wrong + QStringLiteral(" (see --help)"));

    QString name;
    for (const QString& n : reportNames())
        if (n.compare(o.report, Qt::CaseInsensitive) == 0)
            name = n;
    if (name.isEmpty())
        return fail(Usage, QStringLiteral("unknown report \"%1\"; --help lists the reports").arg(o.report));
    const bool brief = o.style == QLatin1String("brief");
    if (brief) {
        const QString twin = td::briefTwin(name);
        if (twin.isEmpty())
            return fail(Usage, QStringLiteral("%1 has no brief style").arg(name));
        name = twin;
    }
    const bool binder = name == kBinder || name == kFlap;
    if ((!o.from.isEmpty() || o.haveTo) && !binder)
        return fail(Usage, QStringLiteral("--from and --to are for %1 and %2").arg(kBinder, kFlap));
    const bool byCategory = name.endsWith(QLatin1String("ByCategory"));
    if (byCategory && o.category.trimmed().isEmpty())
        return fail(Usage, QStringLiteral("%1 needs --category NAME").arg(name));
    if (name == kOneAlbum && o.album.trimmed().isEmpty())
        return fail(Usage, QStringLiteral("%1 needs --album TITLE").arg(name));
    const QString outError = checkOutput(o.out);
    if (!outError.isEmpty())
        return fail(NotWritten, outError);

    const QString dir = dataFolder();
    if (!QFileInfo(dir).isDir())
        return fail(NoCatalogue, QStringLiteral("no catalogue: the data folder %1 does not exist").arg(dir));

    td::GlobalSettings settings;
    td::ReportSetup setup;
    td::LoadGlobalSettings(settings, setup.criteria, td::settingsIniPath());
    setup.iniPath = td::settingsIniPath();
    setup.datePicture = settings.datePicture();
    setup.criteria.ReportStyle = brief ? QStringLiteral("Brief") : QStringLiteral("Standard");
    setup.criteria.ReportWithPreview = true; // the pages are kept for the PDF
    setup.criteria.ReportCustomFont = false;
    setup.criteria.SelectedOrAll = o.haveSelected ? QStringLiteral("Selected") : QStringLiteral("All");
    setup.criteria.ReportSelection = o.selected;

    // A folder without the song or album file holds no catalogue: nothing is created there.
    const auto dataFile
        = [&dir](td::TableId t) { return QDir(dir).filePath(td::tableDef(t).file + QLatin1String(".db")); };
    if (!QFileInfo::exists(dataFile(td::TableId::Tunedeck))
        && !QFileInfo::exists(dataFile(td::TableId::Album)))
        return fail(NoCatalogue, QStringLiteral("no catalogue in %1").arg(QDir::toNativeSeparators(dir)));
    td::Messages messages;
    messages.setResponder(std::make_shared<StderrMessages>());
    td::Database db(messages, dir);

    td::ReportContext context;
    context.udkPrompt = settings.UDKPrompt;
    if (byCategory) {
        context.categoryId = findCategory(db, o.category);
        if (db.ended())
            return fail(NoCatalogue, QStringLiteral("the catalogue cannot be read"));
        if (context.categoryId == 0)
            return fail(NothingPrinted, QStringLiteral("no category \"%1\"").arg(o.category.trimmed()));
        context.categoryName = o.category.trimmed();
    }
    if (name == kOneAlbum) {
        context.albumId = findAlbum(db, o.album);
        if (db.ended())
            return fail(NoCatalogue, QStringLiteral("the catalogue cannot be read"));
        if (context.albumId == 0)
            return fail(NothingPrinted, QStringLiteral("no album \"%1\"").arg(o.album.trimmed()));
    }

    td::ReportDefinition def;
    if (binder) {
        td::BinderRange range { o.from, o.to, !o.haveTo };
        def = td::binderPagesReport(
            db, name == kFlap ? td::BinderStyle::Flap : td::BinderStyle::Binder, range);
    } else if (name == kPaperSaver || name == kPaperSaverTitle) {
        QString why;
        def = td::paperSaverReport(
            name == kPaperSaver ? td::PaperSaverOrder::ByArtist : td::PaperSaverOrder::ByTitle, o.filter,
            context, &why);
        if (!def.isValid())
            return fail(Usage, QStringLiteral("the search does not read: %1").arg(why));
    } else {
        def = td::reportListing(name, context);
    }
    if (!o.filter.isEmpty() && name != kPaperSaver && name != kPaperSaverTitle)
        return fail(Usage, QStringLiteral("--filter is for %1 and %2").arg(kPaperSaver, kPaperSaverTitle));

    td::ReportRun run(db, def, setup);
    if (!run.start()) {
        if (db.ended())
            return fail(NoCatalogue, QStringLiteral("the catalogue cannot be read"));
        return fail(
            NothingPrinted, QStringLiteral("nothing to print: no record of %1 is in the report").arg(name));
    }
    while (run.step(run.sliceSize())) { }
    run.finish();
    const td::ReportRun::Outcome outcome = run.conclude();
    if (db.ended())
        return fail(NoCatalogue, QStringLiteral("the catalogue cannot be read"));
    if (outcome != td::ReportRun::Preview)
        return fail(NothingPrinted, QStringLiteral("nothing to print"));
    QString error;
    if (!td::writePdf(run.pageList(), 1, 0, o.out, def.title, &error))
        return fail(NotWritten, QStringLiteral("cannot write %1: %2").arg(o.out, error));
    print(stdout,
        QStringLiteral("%1: %2 page(s) written to %3").arg(name).arg(run.pageList().count()).arg(o.out));
    return Written;
}
