#pragma once
// The one printer of the program: chosen in "Print Setup" with the system's print dialog, used by
// every report and label print, and remembered across runs in TDPRO97.INI, section "Printer"
// (keys "PrinterName", "Paper", "Orientation"). The frame owns it and hands it to the windows
// that print.

#include <QPrinter>
#include <QString>

namespace td {

class ProgramPrinter {
public:
    ProgramPrinter();

    QPrinter& printer() { return printer_; }

    // Reads the remembered choice from `iniPath` (TDPRO97.INI). A printer that no longer exists,
    // or a value that does not read, leaves the system's default in its place.
    void load(const QString& iniPath);
    void save(const QString& iniPath) const;

    static constexpr const char* kSection = "Printer";

private:
    QPrinter printer_;
};

} // namespace td
