#include "store/PageHistory.h"
