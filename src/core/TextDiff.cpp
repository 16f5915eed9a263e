#include "core/TextDiff.h"
