#include "explorer/ExplorerReformat.h"

namespace td {

namespace {

QChar flagChar(ExplorerReformat::Flag f)
{
    switch (f) {
    case ExplorerReformat::Fixed: return QLatin1Char('F');
    case ExplorerReformat::Underline: return QLatin1Char('_');
    case ExplorerReformat::Border: return QLatin1Char('|');
    case ExplorerReformat::Resize: return QLatin1Char('M');
    }
    return QLatin1Char('M');
}

} // namespace

ExplorerReformat::ExplorerReformat(ExplorerKind kind, const QList<ShownColumn>& shown)
    : kind_(kind)
    , shown_(shown)
{
}

QList<int> ExplorerReformat::hidden() const
{
    QList<int> out;
    for (int c = 0; c < explorerColumns(kind_).size(); ++c) {
        bool shown = false;
        for (const ShownColumn& s : shown_)
            shown = shown || s.column == c;
        if (!shown)
            out << c;
    }
    return out;
}

int ExplorerReformat::moveLeft(int place)
{
    if (place <= 0 || place >= shown_.size())
        return -1;
    shown_.swapItemsAt(place, place - 1);
    return place - 1;
}

int ExplorerReformat::moveRight(int place)
{
    if (place < 0 || place + 1 >= shown_.size())
        return -1;
    shown_.swapItemsAt(place, place + 1);
    return place + 1;
}

bool ExplorerReformat::hide(int place)
{
    if (place < 0 || place >= shown_.size() || shown_.size() == 1)
        return false;
    shown_.removeAt(place);
    return true;
}

int ExplorerReformat::show(int column)
{
    if (!hidden().contains(column))
        return -1;
    for (const ShownColumn& d : shownColumns(explorerDesignedFormat(kind_), kind_))
        if (d.column == column) {
            shown_ << d;
            return int(shown_.size()) - 1;
        }
    return -1;
}

void ExplorerReformat::reset()
{
    shown_ = shownColumns(explorerDesignedFormat(kind_), kind_);
}

void ExplorerReformat::resetColumn(int place)
{
    if (place < 0 || place >= shown_.size())
        return;
    for (const ShownColumn& d : shownColumns(explorerDesignedFormat(kind_), kind_))
        if (d.column == shown_.at(place).column)
            shown_[place] = d;
}

ListColumn* ExplorerReformat::at(int place)
{
    return place >= 0 && place < shown_.size() ? &shown_[place].format : nullptr;
}

bool ExplorerReformat::flag(int place, Flag f) const
{
    return place >= 0 && place < shown_.size() && shown_.at(place).format.flags.contains(flagChar(f));
}

void ExplorerReformat::setFlag(int place, Flag f, bool on)
{
    ListColumn* c = at(place);
    if (!c || flag(place, f) == on)
        return;
    if (on)
        c->flags += flagChar(f);
    else
        c->flags.remove(flagChar(f));
}

void ExplorerReformat::setHeader(int place, const QString& header)
{
    if (ListColumn* c = at(place)) {
        // "~" closes the header and "@" starts the picture in the list format: not part of a header.
        QString h = unmarkedHeader(header);
        h.remove(QLatin1Char('~'));
        h.remove(QLatin1Char('@'));
        c->header = h;
        c->hasHeader = true;
    }
}

void ExplorerReformat::setWidth(int place, int width)
{
    if (ListColumn* c = at(place)) {
        c->width = qMax(0, width);
        c->widthZeros = 0;
    }
}

void ExplorerReformat::setJustification(int place, QChar j)
{
    if (ListColumn* c = at(place))
        c->justification = j.toUpper();
}

void ExplorerReformat::setHeaderJustification(int place, QChar j)
{
    if (ListColumn* c = at(place)) {
        c->headerJustification = j.toUpper();
        if (c->headerIndent < 0)
            c->headerIndent = 0;
    }
}

void ExplorerReformat::setOffset(int place, int offset)
{
    if (ListColumn* c = at(place)) {
        c->indent = qMax(0, offset);
        c->indentZeros = 0;
    }
}

void ExplorerReformat::setHeaderOffset(int place, int offset)
{
    if (ListColumn* c = at(place)) {
        if (c->headerJustification.isNull())
            c->headerJustification = c->justification;
        c->headerIndent = qMax(0, offset);
        c->headerIndentZeros = 0;
    }
}

} // namespace td
