#pragma once
// A name stored surname first ("Smith, Anna") turned round for printing ("Anna Smith"). A " with "
// part after the first name stays at the end: "Brown, Tom with The Band" gives "Tom Brown with The
// Band". A name without a comma is returned as it is. Used on binder and flap pages and by the
// label wizard.

#include <QString>

namespace td {

QString TurnName(const QString& name);

} // namespace td
