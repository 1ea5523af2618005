#include "albums/ui/SelectFileNumber.h"

namespace td {

// Placeholder until the picker is built: nothing chosen.
void SelectFileNumber(AppState&, QWidget*, std::function<void(const Tunedeck*)> answered)
{
    if (answered)
        answered(nullptr);
}

} // namespace td
