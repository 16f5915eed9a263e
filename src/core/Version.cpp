#include "core/Version.h"

#include "QuovelVersion.h"

const char* quovelVersion() {
    return QUOVEL_VERSION;
}

const char* defaultUserAgent() {
    return "Quovel/" QUOVEL_VERSION " (+" QUOVEL_HOMEPAGE ")";
}
