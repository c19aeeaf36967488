#include "app/basketball_set.h"

const StepWake programStepWake = StepWake::best;
