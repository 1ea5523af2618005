#pragma once
// The word lists the catalogue generator builds names and texts from. A few names carry accents or
// other scripts on purpose: keys fold their case and must order them like any other.

#include <QStringList>

namespace td::bench {

class Random;

namespace words {

const QStringList& famousArtists();
const QStringList& firstNames();
const QStringList& lastNames();
const QStringList& adjectives();
const QStringList& nouns();
const QStringList& titleWords();
const QStringList& titleSuffixes();
const QStringList& albumPhrases();
const QStringList& places();
const QStringList& categories();
const QStringList& styles();
const QStringList& userKeys();
const QStringList& extraInfo();
// A few sentences of free text for the memos.
QString sentences(Random& rnd, int count);

} // namespace words
} // namespace td::bench
