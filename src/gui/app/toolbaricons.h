#pragma once

#include <QIcon>
#include <QString>

// The pictures of the main window: the toolbar buttons (by button key, "btnLevelAdd"), the tab
// markers and the warning of the status bar. Drawn at start so the program carries no image files
// and every picture shares one look.
namespace ToolbarIcons {

QIcon button(const QString &key);
// The tab marker: lit when the page holds something.
QIcon bulb(bool lit);
// Panel 4's warning: more members than one Scenery.cfg can take.
QIcon warning();
// The program's own icon (window and splash).
QIcon program();

} // namespace ToolbarIcons
