#include "albums/ui/AlbumImageView.h"

#include <QFileInfo>
#include <QImageReader>
#include <QResizeEvent>

namespace td {

AlbumImageView::AlbumImageView(QWidget* parent)
    : QLabel(parent)
{
    setAlignment(Qt::AlignCenter);
    setWordWrap(true);
    setFrameShape(QFrame::StyledPanel);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
}

QSize AlbumImageView::minimumSizeHint() const
{
    return QSize(120, 90);
}

bool AlbumImageView::showFile(const QString& file)
{
    image_ = QPixmap();
    setPixmap(QPixmap());
    const QString name = file.trimmed();
    if (name.isEmpty()) {
        setText(QString());
        return false;
    }
    if (!QFileInfo(name).isFile()) {
        setText(QStringLiteral("The picture %1 is not there.").arg(name));
        return false;
    }
    QImageReader reader(name);
    reader.setAutoTransform(true);
    const QImage img = reader.read();
    if (img.isNull()) {
        setText(QStringLiteral("%1 is not a picture that can be shown.").arg(name));
        return false;
    }
    image_ = QPixmap::fromImage(img);
    setText(QString());
    rescale();
    return true;
}

void AlbumImageView::resizeEvent(QResizeEvent* e)
{
    QLabel::resizeEvent(e);
    rescale();
}

void AlbumImageView::rescale()
{
    if (image_.isNull())
        return;
    const QSize room = contentsRect().size();
    if (room.isEmpty())
        return;
    setPixmap(image_.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

} // namespace td
