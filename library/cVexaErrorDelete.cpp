// The library exports this member of the tools library's error class itself
// (ordinal 1 on Windows); hosts built against it look it up here.
#include "cVexaError.h"

void Zr::Kdt::Vexa::cVexaError::Delete() {}
