#pragma once
// The settings file a fresh installation starts with.
#include <QString>

// True when the length of the file at Path can be read; false on any error.
bool FileExists(const QString& Path);

// Appends the commented default settings text to IniFile, creating it, in one write
// that leaves either the old file or the whole new one. Raises the runtime's path error
// when the folder is missing and its file error when the file cannot be written.
void WriteDefaultSettings();
