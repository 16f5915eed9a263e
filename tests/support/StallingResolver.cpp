// Linked into a test, this getaddrinfo comes before the C library's: a lookup of the name below hangs for
// 20 s, as with a name server that swallows queries. Every other name goes to the real one.
#include <dlfcn.h>
#include <unistd.h>

#include <cstring>

struct addrinfo;

extern "C" int getaddrinfo(const char* node, const char* service, const addrinfo* hints, addrinfo** res) {
    using Real = int (*)(const char*, const char*, const addrinfo*, addrinfo**);
    static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "getaddrinfo"));
    if (node && std::strcmp(node, "stalling-name.quovel.test") == 0) {
        sleep(20);
        return -3; // EAI_AGAIN
    }
    return real(node, service, hints, res);
}
