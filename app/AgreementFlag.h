// The licence agreement answer, kept once per machine: the machine-wide flag file, or the
// user's own data folder when the machine-wide one cannot be written.
#pragma once

#include <QString>

namespace AgreementFlag {
// The file the answer is written to (KORVANE_AGREEMENT_FILE replaces it for tests).
QString WritablePath();
// True when an accepted answer is stored; creates the flag file empty when it is missing.
bool IsAccepted();
// Stores "1" or "0" under KVF_AgreeMent.
bool Store(bool accepted);
} // namespace AgreementFlag
