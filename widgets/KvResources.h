// The pictures and animations compiled into the program, and the fonts the style sheets
// name. Every window calls this before it loads a picture; it runs once.
#pragma once

void KvEnsureResources();
