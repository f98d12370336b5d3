// A byte count as the screens show it: two decimals and a binary unit.
#pragma once

#include <QString>

// "1.50 KB" for 1536, "1023.00 B" for 1023, "1.00 GB" for 1073741824. The count is scaled
// as a 32-bit float, so values just below a unit's boundary may round up into it.
QString GetSizeString(qint64 bytes);
