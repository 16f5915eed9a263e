#include "core/PageText.h"
