#pragma once
// The logic of the category form (UpdateCategories), without its window: a new category is numbered
// and stored when the form opens and removed again when the add is cancelled; a delete is asked and
// done without showing the window; OK writes an add or a change with the messages of each failure.

#include "common/Request.h"
#include "data/Records.h"

#include <memory>

namespace td {

class Database;
template <class R> class Table;

// What OK on the category and media forms decided.
enum class FormSave {
    Closed, // the form closes; its response says completed or cancelled
    Stay, // a failure or refusal was reported: the form stays open on its field
    ShowStored, // changed by another station: the form stays open showing the stored record
};

class CategoryForm {
public:
    CategoryForm(Database& db, Request request, const Categories& buffer);
    ~CategoryForm();
    CategoryForm(const CategoryForm&) = delete;
    CategoryForm& operator=(const CategoryForm&) = delete;

    // True when the window is to be shown; false when the form is over (a delete, a failed
    // numbering, a category that is gone): response() says how.
    bool open();
    Categories& record();
    const Categories& record() const;
    Request request() const { return request_; }
    Response response() const { return response_; }
    // The stored record's position (the list highlights it afterwards); 0 when none.
    qint64 position() const;

    FormSave save();
    void cancel() { response_ = Response::Cancelled; }
    // A cancelled add removes the numbered category; the table is released.
    void close();

private:
    FormSave saveAdd();
    FormSave saveChange();
    bool nameGiven();

    Database& db_;
    Categories initial_;
    Request request_;
    Response response_ = Response::Cancelled;
    bool numbered_ = false;
    bool closed_ = false;
    qint64 position_ = 0;
    std::unique_ptr<Table<Categories>> table_;
};

} // namespace td
