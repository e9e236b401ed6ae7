#pragma once

#include <QString>

// The per-user settings store: organisation "Marrowfen", application "Quorvane", group "Quorvane".
// Texts are written and read back unchanged; a missing key gives the caller's default.
QString GetSetting(const QString& key, const QString& defaultValue);
void SaveSetting(const QString& key, const QString& value);
