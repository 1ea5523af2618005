#include "setup/QueryWizardStore.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <algorithm>

namespace td {

namespace {

const char kFormat[] = "Tunedeck query store";
constexpr int kVersion = 1;
// A store is a few kilobytes; anything far larger is not ours.
constexpr qint64 kMaxSize = 16 * 1024 * 1024;

bool same(const QString& a, const QString& b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

} // namespace

QueryStore::QueryStore(const QString& path)
    : path_(path)
{
}

QueryStore::Result QueryStore::load()
{
    queries_.clear();
    damaged_ = false;
    QFile file(path_);
    if (!file.exists())
        return Result::Ok;
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxSize) {
        damaged_ = true;
        return Result::Damaged;
    }
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    const QJsonObject root = doc.object();
    if (error.error != QJsonParseError::NoError || !doc.isObject()
        || root.value(QLatin1String("format")).toString() != QLatin1String(kFormat)
        || root.value(QLatin1String("version")).toInt() < 1
        || !root.value(QLatin1String("queries")).isArray()) {
        damaged_ = true;
        return Result::Damaged;
    }
    for (const QJsonValue& v : root.value(QLatin1String("queries")).toArray()) {
        const QJsonObject o = v.toObject();
        SavedQuery q;
        q.group = o.value(QLatin1String("group")).toString();
        q.name = o.value(QLatin1String("name")).toString();
        q.description = o.value(QLatin1String("description")).toString();
        q.expression = o.value(QLatin1String("expression")).toString();
        q.restricted = o.value(QLatin1String("restricted")).toBool();
        // An entry without a name cannot be chosen; skip it rather than refuse the whole store.
        if (q.name.trimmed().isEmpty() || indexOf(q.group, q.name) >= 0)
            continue;
        queries_.append(q);
    }
    return Result::Ok;
}

int QueryStore::indexOf(const QString& group, const QString& name) const
{
    for (int i = 0; i < queries_.size(); ++i) {
        if (same(queries_.at(i).group, group) && same(queries_.at(i).name, name))
            return i;
    }
    return -1;
}

QList<SavedQuery> QueryStore::queries(const QString& group) const
{
    QList<SavedQuery> out;
    for (const SavedQuery& q : queries_) {
        if (same(q.group, group))
            out << q;
    }
    std::sort(out.begin(), out.end(), [](const SavedQuery& a, const SavedQuery& b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    return out;
}

std::optional<SavedQuery> QueryStore::find(const QString& group, const QString& name) const
{
    const int i = indexOf(group, name);
    if (i < 0)
        return std::nullopt;
    return queries_.at(i);
}

QueryStore::Result QueryStore::save(const SavedQuery& query)
{
    if (query.name.trimmed().isEmpty())
        return Result::NoName;
    load();
    SavedQuery q = query;
    q.name = q.name.trimmed();
    q.group = q.group.trimmed();
    const int i = indexOf(q.group, q.name);
    if (i >= 0) {
        if (queries_.at(i).restricted)
            return Result::Restricted;
        queries_[i] = q;
    } else {
        queries_.append(q);
    }
    return write();
}

QueryStore::Result QueryStore::remove(const QString& group, const QString& name)
{
    load();
    const int i = indexOf(group, name);
    if (i < 0)
        return Result::NotFound;
    if (queries_.at(i).restricted)
        return Result::Restricted;
    queries_.removeAt(i);
    return write();
}

QueryStore::Result QueryStore::write()
{
    if (damaged_) {
        // Keep what the user had; a later look may still rescue it.
        const QString aside = path_ + QStringLiteral(".damaged");
        QFile::remove(aside);
        if (!QFile::rename(path_, aside))
            return Result::WriteFailed;
        damaged_ = false;
    }
    QJsonArray list;
    for (const SavedQuery& q : queries_) {
        QJsonObject o;
        o.insert(QLatin1String("group"), q.group);
        o.insert(QLatin1String("name"), q.name);
        o.insert(QLatin1String("description"), q.description);
        o.insert(QLatin1String("expression"), q.expression);
        o.insert(QLatin1String("restricted"), q.restricted);
        list.append(o);
    }
    QJsonObject root;
    root.insert(QLatin1String("format"), QLatin1String(kFormat));
    root.insert(QLatin1String("version"), kVersion);
    root.insert(QLatin1String("queries"), list);

    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly))
        return Result::WriteFailed;
    file.write(QJsonDocument(root).toJson(QJsonDocument::Indented));
    return file.commit() ? Result::Ok : Result::WriteFailed;
}

} // namespace td
