// Linked instead of the program's own: the same program with a loop that polls without ever
// sleeping, the baseline the measurements compare against.
#include "app/basketball_set.h"

const StepWake programStepWake = StepWake::never;
