#pragma once
// Where the program's INI files live. TDPRO97.INI and the stand-in for WIN.INI are in the user's
// configuration folder (the environment variable TDP_CONFIG_DIR overrides it, so that tests never
// touch the real one); POSITION.INI is in the working directory, beside the data files.

#include <QString>

namespace td {

// TDP_CONFIG_DIR when set and not empty, else the platform's application configuration folder.
// Created when missing.
QString configDir();
QString settingsIniPath(); // configDir() + "/TDPRO97.INI"
QString winIniPath(); // configDir() + "/WIN.INI"
QString positionIniPath(); // "POSITION.INI" in the current working directory, as an absolute path

} // namespace td
