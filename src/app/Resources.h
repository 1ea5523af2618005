#pragma once

namespace td {
// Makes the pictures and the help page built into the windows library available (a static library's
// resources must be registered by hand).
void initResources();
} // namespace td
