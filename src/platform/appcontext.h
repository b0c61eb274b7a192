#pragma once

#include "platform/filesystem.h"
#include "platform/programinfo.h"
#include "platform/settingsstore.h"
#include "platform/uiport.h"

// The platform services the program runs on, created once by the start-up and handed to every
// object that needs them. Tests build one over a temporary folder and the scripted UI.
struct AppContext
{
    FileSystem &fs;
    SettingsStore &settings;
    UiPort &ui;
    ProgramInfo &program;

    // The program folder in Windows form, without a trailing "\".
    QString programFolder() const
    {
        QString folder = fs.toWindows(program.folderHost());
        if (folder.endsWith(QLatin1Char('\\')))
            folder.chop(1);
        return folder;
    }
};
