#pragma once
// The settings file a fresh installation starts with.
#include <QString>

// True when the length of the file at Path can be read; false on any error.
bool FileExists(const QString& Path);

// Appends the commented default settings text to IniFile, creating it. Raises the
// runtime's file error when that fails.
void WriteDefaultSettings();
