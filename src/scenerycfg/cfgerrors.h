#pragma once

#include <QtGlobal>

// Error numbers raised while a Scenery.cfg is read or written.
namespace ScenerycfgErrors {
// Offset from the user error base: the simulator's Scenery.cfg is missing.
constexpr qint32 NoSceneryCfg = 101;
// An area value before the first area header: there is no area to give it to.
constexpr qint32 ObjectNotSet = 91;
}
