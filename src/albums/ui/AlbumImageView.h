#pragma once
// The picture of an album: the image file scaled to fit the control with its proportions kept, or
// a plain sentence saying why there is no picture (no file named, a file that is not there, a file
// that is not an image).

#include <QLabel>
#include <QPixmap>

namespace td {

class AlbumImageView : public QLabel {
    Q_OBJECT
public:
    explicit AlbumImageView(QWidget* parent = nullptr);

    // Shows the named file (blank: nothing). True when an image is shown.
    bool showFile(const QString& file);
    bool hasImage() const { return !image_.isNull(); }
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void rescale();

    QPixmap image_;
};

} // namespace td
