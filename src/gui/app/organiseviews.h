#pragma once

// Registers the views of the organising dialogs (move to a level, undo remove) with the GUI's UI
// port.
void registerOrganiseViews();
