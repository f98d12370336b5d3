// Removing a file's name leaves the name's bytes in the folder's directory block until the
// space is reused. Renaming the entry first, to random names of the same length and then
// shorter ones (as shred does), writes over those bytes before the entry goes.
#pragma once

#include <QByteArray>

// Renames the entry `name` of the folder `dirfd` to a random name of the same length, then
// to ever shorter ones (half as long each time) down to one character, each within the same folder and never over an
// existing entry. `name` becomes the entry's final name, the one to unlink. Returns false
// when not even the first rename succeeded; `name` then still holds the original name.
bool ScrubNameAt(int dirfd, QByteArray& name);

// Removes the entry `name` of the folder `dirfd` (a folder with `folder`, which must be
// empty) after scrubbing its name; a folder's own directory blocks are written out first, so
// that the names scrubbed in it do not stay on the medium (`written`: the caller has done so
// since it emptied the folder). If the removal fails, the entry gets its original name back.
// True when the entry is gone.
bool UnlinkScrubbedAt(int dirfd, const QByteArray& name, bool folder, bool written = false);
