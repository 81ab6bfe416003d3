#pragma once

#include <QString>

namespace engine::settings {

// The user's settings folder of a program: $XDG_CONFIG_HOME/name, or
// ~/.config/name while that is unset or relative; on Windows %APPDATA%\name. Folders that are missing are
// made, readable by their owner only; when that fails the path is still given.
QString userConfigFolder(const QString& name);

} // namespace engine::settings
