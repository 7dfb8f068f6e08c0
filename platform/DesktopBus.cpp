#include "platform/DesktopBus.h"

#include "platform/LibrarySymbol.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace {

// libdbus's type codes.
constexpr int kInvalid = 0;
constexpr int kString = 's';
constexpr int kUint32 = 'u';
constexpr int kVariant = 'v';

// Room for libdbus's DBusError and DBusMessageIter, which the caller
// allocates but never reads (each is well under this size).
struct alignas(16) SOpaque {
    unsigned char bytes[256];
};

struct SDBusApi {
    int (*threadsInit)();
    void (*errorInit)(void*);
    void (*errorFree)(void*);
    int (*errorIsSet)(const void*);
    void* (*openPrivate)(const char*, void*);
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
            FindLibrarySymbol(library, "dbus_error_is_set", api.errorIsSet) &&
            FindLibrarySymbol(library, "dbus_connection_open_private", api.openPrivate) &&
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

// What the look-up found, shared with its thread (which a bus that never
// answers may keep past the wait).
struct SLookup {
    std::mutex mutex;
    std::condition_variable changed;
    bool greeted = false; // the greeting step is over
    bool hangs = false;
    bool schemeRead = false;
    int scheme = -1;
    int greetingMs = 0;
    int portalMs = 0;
};

std::shared_ptr<SLookup> g_lookup;

void Greeted(SLookup& lookup, bool hangs)
{
    std::lock_guard<std::mutex> lock(lookup.mutex);
    lookup.greeted = true;
    lookup.hangs = hangs;
    lookup.changed.notify_all();
}

void SchemeRead(SLookup& lookup, int scheme)
{
    std::lock_guard<std::mutex> lock(lookup.mutex);
    lookup.greeted = true;
    lookup.schemeRead = true;
    lookup.scheme = scheme;
    lookup.changed.notify_all();
}

// A call with its own time-out, unlike dbus_bus_register, which waits for
// the greeting for good while holding a lock every user of libdbus needs.
void* Call(const SDBusApi& api, void* bus, void* call, int timeoutMs, bool& timedOut)
{
    SOpaque error;
    api.errorInit(&error);
    void* reply = call ? api.sendAndWait(bus, call, timeoutMs, &error) : nullptr;
    timedOut = !reply && api.errorIsSet(&error) &&
               std::string(*reinterpret_cast<const char* const*>(&error)) == "org.freedesktop.DBus.Error.NoReply";
    api.errorFree(&error);
    if (call) api.unrefMessage(call);
    return reply;
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

int AskPortal(const SDBusApi& api, void* bus, int timeoutMs)
{
    void* call = api.newMethodCall("org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
                                   "org.freedesktop.portal.Settings", "Read");
    const char* group = "org.freedesktop.appearance";
    const char* key = "color-scheme";
    if (call && !api.appendArgs(call, kString, &group, kString, &key, kInvalid)) return -1;
    bool timedOut = false;
    void* reply = Call(api, bus, call, timeoutMs, timedOut);
    if (!reply) return -1;
    const int scheme = SchemeOfReply(api, reply);
    api.unrefMessage(reply);
    return scheme;
}

void Lookup(const SDBusApi& api, const std::string& address, SLookup& lookup)
{
    SOpaque error;
    api.errorInit(&error);
    void* bus = api.openPrivate(address.c_str(), &error);
    api.errorFree(&error);
    if (!bus) return SchemeRead(lookup, -1); // refused at once: no one waits for it
    bool timedOut = false;
    void* hello = Call(api, bus,
                       api.newMethodCall("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "Hello"),
                       lookup.greetingMs, timedOut);
    Greeted(lookup, !hello && timedOut);
    const int scheme = hello ? AskPortal(api, bus, lookup.portalMs) : -1;
    if (hello) api.unrefMessage(hello);
    api.close(bus);
    api.unrefConnection(bus);
    SchemeRead(lookup, scheme);
}

// Waits until done(lookup), or a little longer than the steps may take.
template <typename Done>
void Await(SLookup& lookup, int stepsMs, Done done)
{
    std::unique_lock<std::mutex> lock(lookup.mutex);
    lookup.changed.wait_for(lock, std::chrono::milliseconds(stepsMs + 100), [&] { return done(lookup); });
}

} // namespace

void StartDesktopBusLookup(int greetingMs, int portalMs)
{
    if (g_lookup) return;
    g_lookup = std::make_shared<SLookup>();
    g_lookup->greetingMs = greetingMs;
    g_lookup->portalMs = portalMs;
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const SDBusApi* api = address && *address ? DBus() : nullptr;
    if (!api) return SchemeRead(*g_lookup, -1);
    std::thread([api, lookup = g_lookup, bus = std::string(address)] { Lookup(*api, bus, *lookup); }).detach();
}

bool SessionBusHangs()
{
    if (!g_lookup) return false;
    Await(*g_lookup, g_lookup->greetingMs, [](const SLookup& l) { return l.greeted; });
    std::lock_guard<std::mutex> lock(g_lookup->mutex);
    // Still waiting past its own time-out counts as no answer too.
    return g_lookup->hangs || !g_lookup->greeted;
}

int PortalColorScheme()
{
    if (!g_lookup) return -1;
    Await(*g_lookup, g_lookup->greetingMs + g_lookup->portalMs, [](const SLookup& l) { return l.schemeRead; });
    std::lock_guard<std::mutex> lock(g_lookup->mutex);
    return g_lookup->schemeRead ? g_lookup->scheme : -1;
}
