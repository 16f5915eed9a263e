#include "core/Version.h"

#include "QuovelVersion.h"

const char* quovelVersion() {
    return QUOVEL_VERSION;
}
