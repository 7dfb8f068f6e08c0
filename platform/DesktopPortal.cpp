#include "platform/DesktopPortal.h"

#include "platform/LibrarySymbol.h"

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <future>
#include <memory>
#include <string>
#include <thread>

namespace {

// libdbus's type codes.
constexpr int kInvalid = 0;
constexpr int kString = 's';
constexpr int kUint32 = 'u';
constexpr int kVariant = 'v';

// Room for libdbus's DBusError and DBusMessageIter, whose fields the caller
// allocates but never reads (each is well under this size).
struct alignas(16) SOpaque {
    unsigned char bytes[256];
};

struct SDBusApi {
    int (*threadsInit)();
    void (*errorInit)(void*);
    void (*errorFree)(void*);
    void* (*openPrivate)(const char*, void*);
    int (*busRegister)(void*, void*);
    void (*close)(void*);
    void (*unrefConnection)(void*);
    void* (*newMethodCall)(const char*, const char*, const char*, const char*);
    int (*appendArgs)(void*, int, ...);
    void* (*sendAndWait)(void*, void*, int, void*);
    void (*unrefMessage)(void*);
    int (*iterInit)(void*, void*);
    int (*iterType)(void*);
    void (*iterRecurse)(void*, void*);
    void (*iterValue)(void*, void*);
};

const SDBusApi* DBus()
{
    static SDBusApi api;
    static const bool loaded = [] {
        void* library = dlopen("libdbus-1.so.3", RTLD_NOW | RTLD_LOCAL);
        const bool found =
            library && FindLibrarySymbol(library, "dbus_threads_init_default", api.threadsInit) &&
            FindLibrarySymbol(library, "dbus_error_init", api.errorInit) &&
            FindLibrarySymbol(library, "dbus_error_free", api.errorFree) &&
            FindLibrarySymbol(library, "dbus_connection_open_private", api.openPrivate) &&
            FindLibrarySymbol(library, "dbus_bus_register", api.busRegister) &&
            FindLibrarySymbol(library, "dbus_connection_close", api.close) &&
            FindLibrarySymbol(library, "dbus_connection_unref", api.unrefConnection) &&
            FindLibrarySymbol(library, "dbus_message_new_method_call", api.newMethodCall) &&
            FindLibrarySymbol(library, "dbus_message_append_args", api.appendArgs) &&
            FindLibrarySymbol(library, "dbus_connection_send_with_reply_and_block", api.sendAndWait) &&
            FindLibrarySymbol(library, "dbus_message_unref", api.unrefMessage) &&
            FindLibrarySymbol(library, "dbus_message_iter_init", api.iterInit) &&
            FindLibrarySymbol(library, "dbus_message_iter_get_arg_type", api.iterType) &&
            FindLibrarySymbol(library, "dbus_message_iter_recurse", api.iterRecurse) &&
            FindLibrarySymbol(library, "dbus_message_iter_get_basic", api.iterValue);
        return found && api.threadsInit();
    }();
    return loaded ? &api : nullptr;
}

// The reply nests the value in one or two variants (Read wraps it twice).
int SchemeOfReply(const SDBusApi& api, void* reply)
{
    SOpaque iterators[3];
    if (!api.iterInit(reply, &iterators[0])) return -1;
    int depth = 0;
    while (depth < 2 && api.iterType(&iterators[depth]) == kVariant) {
        api.iterRecurse(&iterators[depth], &iterators[depth + 1]);
        ++depth;
    }
    if (api.iterType(&iterators[depth]) != kUint32) return -1;
    uint32_t scheme = 0;
    api.iterValue(&iterators[depth], &scheme);
    return scheme <= 2 ? static_cast<int>(scheme) : -1;
}

int AskPortal(const SDBusApi& api, void* bus, int timeoutMs, SOpaque& error)
{
    void* call = api.newMethodCall("org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
                                   "org.freedesktop.portal.Settings", "Read");
    if (!call) return -1;
    const char* group = "org.freedesktop.appearance";
    const char* key = "color-scheme";
    void* reply = api.appendArgs(call, kString, &group, kString, &key, kInvalid)
                      ? api.sendAndWait(bus, call, timeoutMs, &error)
                      : nullptr;
    api.unrefMessage(call);
    if (!reply) return -1;
    const int scheme = SchemeOfReply(api, reply);
    api.unrefMessage(reply);
    return scheme;
}

int ReadScheme(const SDBusApi& api, const std::string& address, int timeoutMs)
{
    SOpaque error;
    api.errorInit(&error);
    int scheme = -1;
    if (void* bus = api.openPrivate(address.c_str(), &error)) {
        if (api.busRegister(bus, &error)) scheme = AskPortal(api, bus, timeoutMs, error);
        api.close(bus);
        api.unrefConnection(bus);
    }
    api.errorFree(&error);
    return scheme;
}

} // namespace

int PortalColorScheme(int timeoutMs)
{
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const SDBusApi* api = address && *address ? DBus() : nullptr;
    if (!api) return -1;
    // Shared with the thread, which may outlive this call on a bus that never answers.
    auto answer = std::make_shared<std::promise<int>>();
    std::future<int> scheme = answer->get_future();
    std::thread([api, answer, bus = std::string(address), timeoutMs] {
        answer->set_value(ReadScheme(*api, bus, timeoutMs));
    }).detach();
    if (scheme.wait_for(std::chrono::milliseconds(timeoutMs)) != std::future_status::ready) return -1;
    return scheme.get();
}
