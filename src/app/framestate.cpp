#include "framestate.h"
