#pragma once
// The start-up window: shows the version caption and closes after a second or on a click.

#include <QDialog>

namespace td {

class Splash : public QDialog {
    Q_OBJECT
public:
    Splash(const QString& versionCaption, int milliseconds, QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* e) override;
};

} // namespace td
