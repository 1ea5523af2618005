#pragma once
// The help: an HTML page shipped inside the program, written next to the configuration and opened
// in the user's browser at a section.

#include <QString>

namespace td {

class HelpPage {
public:
    // Writes the page (when missing or older than the program's copy) and returns its path.
    static QString install();
    // Opens the page at an anchor ("contents", "index", "using-help"); false when it could not be.
    static bool open(const QString& anchor);
};

} // namespace td
