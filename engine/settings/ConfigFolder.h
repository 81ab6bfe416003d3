#pragma once

#include <QString>

// Where the program's settings file goes when it stays out of the program's
// own folder: each system by its own rules.
namespace engine::settings {

// The user's settings folder of the program: $XDG_CONFIG_HOME/velmora, or
// ~/.config/velmora while that is unset or relative; on Windows
// %APPDATA%\Velmora. Folders that are missing are made, readable by their
// owner only; when that fails the path is still given.
QString userConfigFolder();

// Whether the program's folder belongs to the system, as an installed copy's
// does, even where the superuser or an administrator could write to it.
bool isSystemFolder(const QString& folder);

// The folder `name` in `base`, in the system's separators, made as
// userConfigFolder() makes its own.
QString madeFolder(const QString& base, const QString& name);

} // namespace engine::settings
