#pragma once
// Remembered positions for real windows: adapts a top-level widget or an MDI child to the
// position logic, and the two calls every window makes on opening and closing.

#include "data/WindowPosition.h"

class QWidget;

namespace td {

class WidgetPosition : public PositionedWindow {
public:
    // For an MDI child pass the QMdiSubWindow (or the widget inside it: its frame is found).
    explicit WidgetPosition(QWidget* w);
    bool isMaximized() const override;
    bool isMinimized() const override;
    bool isFixedSize() const override;
    void showNormal() override;
    void showMaximized() override;
    QRect normalGeometry() const override;
    void setGeometry(const QRect& r) override;
    void move(const QPoint& p) override;

private:
    QWidget* w_;
};

// POSITION.INI in the working directory.
void restorePosition(QWidget* w, const QString& procedure);
void savePosition(QWidget* w, const QString& procedure);

} // namespace td
