#pragma once
// The song listings and the album listings, each in a "Standard" and a "Brief" style, by the names
// of their procedures: "PrintMUS:SongsByArtist" / "BriefMUS:SongsByArtist" (likewise Chart, UDK,
// Title, Media, Album, BPM), "PrintByCategory" / "BriefByCategory", "PrintAlbumsByAlbum" /
// "BriefAlbumsByAlbum" (likewise ByArtist, ByFileNumber), and "PrintOneAlbum" (the songs of
// context.albumId). The "Print" name is the one the menu starts; briefTwin() gives the name to run
// instead when the criteria say "Brief".

#include "reports/ReportDefinition.h"

#include <QStringList>

namespace td {

// Every "Print" name of the listings.
QStringList reportListingNames();
// "BriefMUS:SongsByArtist" for "PrintMUS:SongsByArtist"; empty when the report has no Brief twin.
QString briefTwin(const QString& printName);
// The definition of a listing by its name (invalid for an unknown name). The category report needs
// context.categoryId/categoryName, PrintOneAlbum context.albumId.
ReportDefinition reportListing(const QString& name, const ReportContext& context);

} // namespace td
