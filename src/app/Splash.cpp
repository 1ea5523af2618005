#include "app/Splash.h"

#include "common/AppState.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace td {

Splash::Splash(const QString& versionCaption, int milliseconds, QWidget* parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("Splash"));
    auto* layout = new QVBoxLayout(this);
    auto* picture = new QLabel(this);
    picture->setPixmap(QPixmap(QStringLiteral(":/images/logo.svg")).scaledToWidth(240, Qt::SmoothTransformation));
    picture->setAlignment(Qt::AlignCenter);
    auto* title = new QLabel(QString::fromLatin1(kProgramTitle), this);
    QFont f = title->font();
    f.setPointSize(f.pointSize() + 8);
    f.setBold(true);
    title->setFont(f);
    title->setAlignment(Qt::AlignCenter);
    auto* version = new QLabel(versionCaption, this);
    version->setObjectName(QStringLiteral("version"));
    version->setAlignment(Qt::AlignCenter);
    layout->addWidget(picture);
    layout->addWidget(title);
    layout->addWidget(version);
    setStyleSheet(QStringLiteral("td--Splash { background: #10243e; } QLabel { color: #f2e6c9; }"));
    QTimer::singleShot(milliseconds, this, &QDialog::accept);
}

void Splash::mousePressEvent(QMouseEvent*)
{
    accept();
}

} // namespace td
