#pragma once

#include <QByteArray>
#include <QString>

#include <utility>

// The readers beyond the library files, each run on one input as its fuzz target runs it: the
// input written as the file the reader takes, read, and what the reader then does with it checked.
// Each returns what went wrong, or "" when nothing did. The fuzz targets abort on a finding; the
// replay test runs the inputs kept in tests/data/fuzz-<name>/ through the same checks.
QString checkBackupList(const QByteArray &input);       // "BackupFilesFS2002.db"
QString checkFileList(const QByteArray &input);         // "LumivaleFileList.db"
QString checkAirportDirectory(const QByteArray &input); // "AD_World.txt"
QString checkStartFlight(const QByteArray &input);      // "FS2002.cfg"
QString checkSettingsFile(const QByteArray &input);     // the program's INI file
QString checkWineRegistry(const QByteArray &input);     // "system.reg"
QString checkArchive(const QByteArray &input);          // a zip file
QString checkAreaValues(const QByteArray &input);       // Exclude / Flatten text, a scenery's .txt
QString checkFileIdDiz(const QByteArray &input);        // "FILE_ID.DIZ"

using ReaderCheck = QString (*)(const QByteArray &);
// Each check under the name of its target without "fuzz_".
inline const std::pair<const char *, ReaderCheck> ReaderChecks[] = {
    {"backuplist", checkBackupList},   {"filelist", checkFileList},     {"airports", checkAirportDirectory},
    {"startflight", checkStartFlight}, {"settings", checkSettingsFile}, {"winereg", checkWineRegistry},
    {"unzip", checkArchive},           {"areas", checkAreaValues},      {"fileiddiz", checkFileIdDiz},
};
