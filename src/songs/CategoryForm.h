#pragma once
// The logic of the category form (UpdateCategories), without its window: a new category is numbered
// and stored when the form opens and removed again when the add is cancelled; a delete is asked and
// done without showing the window; OK writes an add or a change with the messages of each failure.

#include "common/Request.h"
#include "data/Records.h"

#include <QString>
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

// What the one-field window (songs/ui/NameForm.h) needs of the category and media forms.
class OneFieldForm {
public:
    virtual ~OneFieldForm() = default;
    // True when the window is to be shown; false when the form is over: response() says how.
    virtual bool open() = 0;
    virtual QString text() const = 0;
    virtual void setText(const QString& text) = 0;
    virtual FormSave save() = 0;
    virtual void cancel() = 0;
    // A cancelled add removes its numbered record; the table is released.
    virtual void close() = 0;
    virtual Response response() const = 0;
    // The stored record's position (the list highlights it afterwards); 0 when none.
    virtual qint64 position() const = 0;
};

class CategoryForm : public OneFieldForm {
public:
    CategoryForm(Database& db, Request request, const Categories& buffer);
    ~CategoryForm() override;
    CategoryForm(const CategoryForm&) = delete;
    CategoryForm& operator=(const CategoryForm&) = delete;

    // True when the window is to be shown; false when the form is over (a delete, a failed
    // numbering, a category that is gone): response() says how.
    bool open() override;
    Categories& record();
    const Categories& record() const;
    QString text() const override { return record().Category; }
    void setText(const QString& text) override { record().Category = text; }
    Request request() const { return request_; }
    Response response() const override { return response_; }
    qint64 position() const override;

    FormSave save() override;
    void cancel() override { response_ = Response::Cancelled; }
    void close() override;

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
