#include "CatalogueWords.h"

#include "CatalogueGenerator.h"

namespace td::bench::words {

namespace {

QStringList split(const char* utf8)
{
    return QString::fromUtf8(utf8).split(QLatin1Char('|'), Qt::SkipEmptyParts);
}

} // namespace

const QStringList& famousArtists()
{
    static const QStringList l = split(
        "Sigur Rós|Björk|Motörhead|Céline Dion|The Beatles|Miles Davis|Ella Fitzgerald|Mötley Crüe|"
        "Johann Sebastian Bach|Blue Öyster Cult|Bob Marley|Nina Simone|Hüsker Dü|Radiohead|Kraftwerk|"
        "Antonín Dvořák|ABBA|Françoise Hardy|Led Zeppelin|Sinéad O'Connor|Aretha Franklin|Édith Piaf|"
        "Johnny Cash|Jóhann Jóhannsson|AC/DC|Queensrÿche|Daft Punk|Röyksopp|Caetano Veloso|Maná|"
        "Beyoncé|Astor Piazzolla|Кино|Алла Пугачёва|久石譲|坂本龍一|Mariza|Ólafur Arnalds|"
        "Dvořák Symphony Orchestra|Nick Cave & The Bad Seeds");
    return l;
}

const QStringList& firstNames()
{
    static const QStringList l = split(
        "Anna|Ben|Carla|David|Elena|Frank|Greta|Hugo|Iris|Jack|Karin|Leo|Maria|Nils|Olga|Paul|"
        "Quincy|Rosa|Sam|Tina|Ulf|Vera|Will|Xavier|Yara|Zoe|Åsa|Émile|Jürgen|Søren|Zoë|Ramón|"
        "Chloé|Björn|Ines|Marco|Nina|Oscar|Petra|Rafael|Sofia|Tom|Lucía|Magnús|Dagný|Kenji|"
        "Amara|Jonas|Lena|Mateo|Noah|Ola|Priya|Ruth|Stefan|Thea|Viktor|Wanda|Yusuf|Zlatan");
    return l;
}

const QStringList& lastNames()
{
    static const QStringList l = split(
        "Andersen|Baker|Costa|Dubois|Evans|Fischer|García|Hansen|Ivanova|Jensen|Kowalski|Larsen|"
        "Müller|Nakamura|O'Brien|Petrov|Quinn|Rossi|Schmidt|Taylor|Underwood|Vargas|Weber|Young|"
        "Zimmermann|Ødegaard|Sánchez|Nørgaard|Łukasik|Çelik|Håkansson|Brontë|Novák|Šimunović|"
        "Becker|Carter|Douglas|Ellis|Fontaine|Gómez|Hughes|Ito|Jones|King|Lindqvist|Moreau|"
        "Nielsen|Olsen|Parker|Reyes|Silva|Thompson|Urban|Valdés|Walker|Xu|Yilmaz|Zając|Brown|"
        "Clarke|Dahl|Engström|Fernández|Grünewald|Holm|Iglesias|Johansson|Keller|Lambert");
    return l;
}

const QStringList& adjectives()
{
    static const QStringList l = split(
        "silver|electric|velvet|broken|golden|midnight|crystal|wild|lonely|burning|frozen|"
        "hollow|crimson|gentle|restless|distant|northern|secret|paper|neon|iron|wooden|"
        "hidden|final|early|empty|endless|quiet|sudden|blue|black|white|red|green|bitter|sweet");
    return l;
}

const QStringList& nouns()
{
    static const QStringList l = split(
        "fox|river|engine|ghost|mirror|garden|tiger|stone|shadow|wave|pilot|dancer|sparrow|"
        "lantern|harbour|crow|falcon|comet|rocket|prophet|saint|stranger|wolf|raven|thief|"
        "machine|sailor|rebel|monk|giant");
    return l;
}

const QStringList& titleWords()
{
    static const QStringList l = split(
        "love|night|heart|rain|fire|dream|road|home|time|light|song|summer|winter|river|city|"
        "blue|moon|sun|star|girl|boy|baby|world|dance|tears|kiss|money|train|highway|morning|"
        "evening|angel|devil|heaven|ocean|wind|storm|memory|shadow|silence|echo|thunder|"
        "midnight|paradise|freedom|yesterday|tomorrow|forever|lonely|sweet|wild|golden|"
        "broken|little|big|old|new|last|first|crazy|happy|sad|cold|hot|dark|bright|"
        "café|noël|déjà vu|señorita|über|smörgåsbord|fiesta|amor|corazón|été|liebe|"
        "mañana|naïve|façade|jalapeño|fjord|sakura|vodka|bossa|tango|samba|blues|"
        "boogie|rock|roll|soul|groove|rhythm|harmony|melody|chorus|lullaby|serenade|"
        "waltz|march|anthem|ballad|hymn|prelude|fugue|sonata|nocturne|requiem|overture");
    return l;
}

const QStringList& titleSuffixes()
{
    static const QStringList l = split("(Live)|(Remastered)|(Single Version)|(Demo)|(Acoustic)|"
                                       "(Radio Edit)|(Extended Mix)|(Mono)|(Instrumental)|(Reprise)");
    return l;
}

const QStringList& albumPhrases()
{
    static const QStringList l = split(
        "Greatest Hits|The Best Of|Unplugged|Live at the BBC|The Early Years|Anthology|"
        "The Collection|Rarities|B-Sides|Debut|Self-Titled|Christmas Album|Lost Tapes|"
        "Complete Recordings|Original Soundtrack|Sessions|Retrospective|Essentials");
    return l;
}

const QStringList& places()
{
    static const QStringList l = split(
        "London|Paris|Berlin|Reykjavík|Tokyo|New York|Nashville|Memphis|Montréal|São Paulo|"
        "Kraków|Göteborg|København|Zürich|Wien|Dublin|Chicago|Detroit|Havana|Kingston|"
        "Lisboa|Düsseldorf|Austin|Sydney|Osaka|Praha|Budapest|Oslo|Helsinki|Seattle");
    return l;
}

const QStringList& categories()
{
    static const QStringList l = split(
        "Rock|Pop|Jazz|Blues|Classical|Country|Folk|Soul|Reggae|Hip Hop|Electronic|Metal|Punk|"
        "Soundtrack|World|Gospel|Latin|Easy Listening|Children's|Comedy|New Age|R&B");
    return l;
}

const QStringList& styles()
{
    static const QStringList l = split(
        "Live|Acoustic|Studio|Remastered|Instrumental|Vocal|Orchestral|A cappella|Unplugged|"
        "Remix|Cover|Duet|Big Band|Chamber|Solo Piano|Electric|Lo-fi|Symphonic");
    return l;
}

const QStringList& userKeys()
{
    static const QStringList l = split("FAV|PARTY|XMAS|WEDDING|DRIVE|SLEEP|WORKOUT|CHILL|DINNER|RADIO");
    return l;
}

const QStringList& extraInfo()
{
    static const QStringList l = split(
        "Bonus track|Single edit|Hidden track|Mono mix|Stereo mix|Recorded live|Previously "
        "unreleased|Alternate take|B-side|Japanese edition only|Radio session|Vinyl rip|Original "
        "mix|Remastered 2011|Limited edition");
    return l;
}

QString sentences(Random& rnd, int count)
{
    static const QStringList l = split(
        "Bought second-hand at a market stall.|A gift from my sister.|The sleeve is slightly damaged.|"
        "Signed copy after the concert.|First pressing, still in the original shrink wrap.|"
        "Played at our wedding.|The lyrics are printed inside the gatefold.|Needs a new case.|"
        "Recorded in a single take, according to the liner notes.|Replaced the scratched copy.|"
        "Borrowed by Tom and never returned; this is the replacement.|Best listened to at night.|"
        "Includes a booklet with photographs.|Import, bought on holiday in Köln.|"
        "The fade-out is longer than on the single.|Drums overdubbed in 1978.|"
        "Noisy run-out groove on side B.|Favourite track of the whole collection.");
    QStringList out;
    for (int i = 0; i < count; ++i)
        out << rnd.pick(l);
    return out.join(QLatin1Char(' '));
}

} // namespace td::bench::words
