#pragma once
// How a caller and a form talk: the caller asks for an add, change, delete or select (or, in the
// song form, an add of a copy) and the form answers completed or cancelled.

namespace td {

enum class Request : int {
    None = 0,
    Insert = 1,
    Change = 2,
    Delete = 3,
    Select = 4,     // a picker returns the chosen record; the song form takes it as "add a copy"
};

enum class Response : int {
    None = 0,
    Completed = 1,
    Cancelled = 2,
};

} // namespace td
