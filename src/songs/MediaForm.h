#pragma once
// The logic of the media form (UpdateMedia), without its window: add, rename (every song that used
// the old name follows) and delete (refused while a song uses the name).

#include "common/Request.h"
#include "data/Records.h"
#include "songs/CategoryForm.h"

#include <memory>

namespace td {

class Database;
template <class R> class Table;

class MediaForm : public OneFieldForm {
public:
    MediaForm(Database& db, Request request, const Media& buffer);
    ~MediaForm() override;
    MediaForm(const MediaForm&) = delete;
    MediaForm& operator=(const MediaForm&) = delete;

    // True when the window is to be shown; false when the form is over (a delete, or a media name
    // that is gone): response() says how.
    bool open() override;
    Media& record();
    const Media& record() const;
    QString text() const override { return record().Media; }
    void setText(const QString& text) override { record().Media = text; }
    Request request() const { return request_; }
    Response response() const override { return response_; }
    qint64 position() const override;

    FormSave save() override;
    void cancel() override { response_ = Response::Cancelled; }
    void close() override;

private:
    FormSave saveAdd();
    FormSave saveChange();

    Database& db_;
    Media initial_;
    Request request_;
    Response response_ = Response::Cancelled;
    bool closed_ = false;
    qint64 position_ = 0;
    std::unique_ptr<Table<Media>> table_;
};

} // namespace td
