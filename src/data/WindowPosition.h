#pragma once
// Remembered window positions: one INI section per window (named after its procedure) with the keys
// "XPosit", "YPosit", "Width", "Height" and "Maximize". The logic works on an abstract window so that
// it needs no widgets; the windows library adapts real windows to it.

#include <QRect>
#include <QString>

namespace td {

class PositionedWindow {
public:
    virtual ~PositionedWindow() = default;
    virtual bool isMaximized() const = 0;
    virtual bool isMinimized() const = 0;
    virtual bool isFixedSize() const = 0;
    virtual void showNormal() = 0;
    virtual void showMaximized() = 0;
    virtual QRect normalGeometry() const = 0;   // position and size of the normal (un-maximised) window
    virtual void setGeometry(const QRect& r) = 0;
    virtual void move(const QPoint& p) = 0;
};

// Written when a window closes. A minimised window writes nothing, so it keeps what it had before.
void SaveWindowPosition(PositionedWindow& w, const QString& section, const QString& file);

// Read right after a window opens. A section without "XPosit" (or with 0) leaves the window as it is.
void RestoreWindowPosition(PositionedWindow& w, const QString& section, const QString& file);

} // namespace td
