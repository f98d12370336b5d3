// The pictures and animations compiled into the program, and the fonts the style sheets
// name. Every window calls this before it loads a picture; it runs once.
#pragma once

void KvEnsureResources();

class QIcon;

// The program's icon for every window and the task bar, in the sizes window managers ask
// for. (One 256 × 256 picture alone is larger than an X request may be, so the X server
// would be given no icon at all.)
QIcon KvApplicationIcon();
