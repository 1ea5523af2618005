#pragma once
// A fresh temporary working directory and configuration folder for one test. The current
// directory is switched to it (data files and POSITION.INI live there) and TDP_CONFIG_DIR points
// at a folder inside it (TDPRO97.INI and WIN.INI), so no test touches the user's own files.
// Everything is removed and the previous directory restored on destruction.

#include <QString>
#include <QTemporaryDir>

namespace td::test {

class TempWorkspace {
public:
    TempWorkspace();
    ~TempWorkspace();
    TempWorkspace(const TempWorkspace&) = delete;
    TempWorkspace& operator=(const TempWorkspace&) = delete;

    QString path() const { return dir_.path(); }
    QString configDir() const;
    QString file(const QString& name) const;   // a path inside the working directory
    bool isValid() const { return dir_.isValid(); }

private:
    QTemporaryDir dir_;
    QString previous_;
    QByteArray previousConfig_;
    bool hadConfig_ = false;
};

} // namespace td::test
