// Placeholder until the evaluation lands.
#include "evaluation.h"
