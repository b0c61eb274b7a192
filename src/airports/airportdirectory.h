#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class FileSystem;

// The airport directory: plain text lists below the program folder's "AirportDirectory", one
// entry per line. The areas are in "AD_World.txt"; the countries of an area in "AD_" + area +
// ".txt", the states of a country in "AD_" + country + ".txt", and the airports of a state in
// state + ".txt", so each line names the file of the next list.
class AirportDirectory
{
public:
    enum class List { Areas, Countries, States, Airports };

    static QString folderName() { return QStringLiteral("AirportDirectory"); }

    // programFolder in Windows form.
    AirportDirectory(const FileSystem &fs, const QString &programFolder);

    // The folder the lists are in, Windows form.
    const QString &folder() const { return m_folder; }
    // The file of a list: AD_World.txt for the areas (name unused), else built from the entry of
    // the list above. Nothing when the name cannot be one file of the folder (a line that holds
    // "\", "/" or ":"): an edited list must not lead the reader to a file elsewhere.
    std::optional<QString> file(List list, const QString &name = {}) const;

    // The non-empty lines of a list's file, each as it stands, in file order; nothing when the
    // file is not there. A file that is there but cannot be read throws LmError.
    std::optional<QStringList> read(List list, const QString &name = {}) const;
    // The same, with a missing file as an empty list.
    QStringList entries(List list, const QString &name = {}) const;

private:
    const FileSystem &m_fs;
    QString m_folder;
};
