// show, get, set, save, load and diff: the configuration in its stores.
#include "Commands.h"
#include "HostPlatform.h"
#include "Platform.h"
#include "PropertyText.h"
#include "Session.h"
#include "Store.h"

#include <cstdio>
#include <memory>

namespace k4xtrace {

namespace {

struct Property {
    std::string name;
    PropertyValue value;
};
using Properties = std::vector<Property>;

// Every property, in the order of the library's property table.
bool ReadAll(Device& device, Properties& properties, std::string& error)
{
    for (const k4xhost::Property& property : device.Properties()) {
        const std::string& name = property.name;
        properties.push_back({name, PropertyValue()});
        if (!device.Get(name, properties.back().value, error)) {
            error.insert(0, name + ": ");
            return false;
        }
    }
    return true;
}

void PrintTable(const std::string& heading, const Properties& properties)
{
    std::printf("%s\n  %-16s %-8s %s\n", heading.c_str(), "PROPERTY", "TYPE", "VALUE");
    for (const Property& property : properties) {
        std::printf("  %-16s %-8s %s\n", property.name.c_str(), k4xhost::TypeWord(property.value.type).c_str(),
                    DisplayValue(property.value).c_str());
    }
}

void PrintJson(const std::string& cpu, const Properties& properties)
{
    std::printf("{\"cpu\": %s, \"properties\": {", JsonString(cpu).c_str());
    for (size_t i = 0; i < properties.size(); ++i) {
        std::printf("%s\n  %s: %s", i == 0 ? "" : ",", JsonString(properties[i].name).c_str(),
                    JsonValue(properties[i].value).c_str());
    }
    std::printf("\n}}\n");
}

int PrintConfiguration(Session& session, Device& device, const std::string& heading, bool json)
{
    Properties properties;
    std::string error;
    if (!ReadAll(device, properties, error)) return session.Fail(device.Cpu(), error);
    if (json) {
        PrintJson(device.Cpu(), properties);
    } else {
        PrintTable(heading, properties);
    }
    return kExitSuccess;
}

bool ParseStore(const Invocation& invocation, const std::string& text, Store& store)
{
    if (Store::Parse(text, store)) return true;
    UsageError(*invocation.command, "no file named in store " + text);
    return false;
}

// The store that storeText names and a manager for the CPU of the first
// argument; null, with the exit status in status, when either fails.
std::unique_ptr<Device> OpenStoreAndDevice(Session& session, const Invocation& invocation, const std::string& storeText,
                                           Store& store, int& status)
{
    status = kExitUsage;
    if (!ParseStore(invocation, storeText, store)) return nullptr;
    status = kExitFailed;
    return session.NewDevice(invocation.arguments[0]);
}

// The library says only "Failed to open file" when the path is too long.
void HintAtLongPath(const std::string& path)
{
    if (path.size() <= k4xplatform::kLongestPath) return;
    std::fprintf(stderr, "k4xtrace: %s is %zu characters long; this system's file calls take at most %zu\n",
                 path.c_str(), path.size(), k4xplatform::kLongestPath);
}

int Save(Session& session, Device& device, const Store& store)
{
    std::string error;
    if (!store.Save(device, error)) {
        session.Fail(store.Label(), error);
        HintAtLongPath(store.SavePath(device));
        return kExitFailed;
    }
    std::printf("saved the configuration of %s to %s\n", device.Cpu().c_str(), store.SavePath(device).c_str());
    return kExitSuccess;
}

// Each assignment is checked against the property's type before any is made.
int Assign(Session& session, const Invocation& invocation, Device& device)
{
    Properties changes;
    std::string error;
    for (size_t i = 1; i < invocation.arguments.size(); ++i) {
        const std::string& argument = invocation.arguments[i];
        const size_t equals = argument.find('=');
        if (equals == std::string::npos) return UsageError(*invocation.command, "not NAME=VALUE: " + argument);
        changes.push_back({argument.substr(0, equals), PropertyValue()});
        Property& change = changes.back();
        if (!device.Get(change.name, change.value, error)) return session.Fail(change.name, error);
        if (!ParseValue(argument.substr(equals + 1), change.value, error)) {
            return UsageError(*invocation.command, change.name + ": " + error);
        }
    }
    for (const Property& change : changes) {
        if (!device.Set(change.name, change.value, error)) return session.Fail(change.name, error);
    }
    return kExitSuccess;
}

}  // namespace

int ShowCommand(Session& session, const Invocation& invocation)
{
    std::unique_ptr<Device> device = session.NewDevice(invocation.arguments[0]);
    if (!device) return kExitFailed;
    Store settings;
    Store::Parse("settings", settings);
    const std::string path = settings.LoadPath(*device);
    const bool present = k4xplatform::PathExists(path.c_str());
    const std::string heading =
        "Configuration of " + device->Cpu() + (present ? " from " + path : " (defaults: no " + path + ")");
    return PrintConfiguration(session, *device, heading, invocation.Has("--json"));
}

int GetCommand(Session& session, const Invocation& invocation)
{
    std::unique_ptr<Device> device = session.NewDevice(invocation.arguments[0]);
    if (!device) return kExitFailed;
    Properties properties;
    std::string error;
    for (size_t i = 1; i < invocation.arguments.size(); ++i) {
        properties.push_back({invocation.arguments[i], PropertyValue()});
        if (!device->Get(properties.back().name, properties.back().value, error)) {
            return session.Fail(properties.back().name, error);
        }
    }
    const bool json = invocation.Has("--json");
    for (size_t i = 0; i < properties.size(); ++i) {
        const Property& property = properties[i];
        if (json) {
            std::printf("%s%s: %s", i == 0 ? "{" : ", ", JsonString(property.name).c_str(),
                        JsonValue(property.value).c_str());
        } else {
            std::printf("%s\n", PlainValue(property.value).c_str());
        }
    }
    if (json) std::printf("}\n");
    return kExitSuccess;
}

int SetCommand(Session& session, const Invocation& invocation)
{
    Store store;
    int status = kExitSuccess;
    const auto device = OpenStoreAndDevice(
        session, invocation, invocation.Has("--to") ? invocation.Value("--to") : "settings", store, status);
    if (!device) return status;
    status = Assign(session, invocation, *device);
    if (status != kExitSuccess) return status;
    return Save(session, *device, store);
}

int SaveCommand(Session& session, const Invocation& invocation)
{
    Store store;
    int status = kExitSuccess;
    const auto device = OpenStoreAndDevice(session, invocation, invocation.arguments[1], store, status);
    if (!device) return status;
    return Save(session, *device, store);
}

int LoadCommand(Session& session, const Invocation& invocation)
{
    Store store;
    int status = kExitSuccess;
    const auto device = OpenStoreAndDevice(session, invocation, invocation.arguments[1], store, status);
    if (!device) return status;
    std::string error;
    if (!store.Load(*device, error)) return session.Fail(store.Label(), error);
    const std::string heading = "Configuration of " + device->Cpu() + " loaded from " + store.LoadPath(*device);
    return PrintConfiguration(session, *device, heading, invocation.Has("--json"));
}

int DiffCommand(Session& session, const Invocation& invocation)
{
    Store stores[2];
    Properties properties[2];
    std::string paths[2];
    for (int i = 0; i < 2; ++i) {
        if (!ParseStore(invocation, invocation.arguments[1 + i], stores[i])) return kExitUsage;
        std::unique_ptr<Device> device = session.NewDevice(invocation.arguments[0]);
        std::string error;
        if (!device) return kExitUsage;
        if (!stores[i].Load(*device, error) || !ReadAll(*device, properties[i], error)) {
            session.Fail(stores[i].Label(), error);
            return kExitUsage;
        }
        paths[i] = stores[i].LoadPath(*device);
    }
    bool same = true;
    for (size_t p = 0; p < properties[0].size(); ++p) {
        const PropertyValue& a = properties[0][p].value;
        const PropertyValue& b = properties[1][p].value;
        if (DisplayValue(a) == DisplayValue(b)) continue;
        if (same) std::printf("--- %s\n+++ %s\n", paths[0].c_str(), paths[1].c_str());
        same = false;
        const char* name = properties[0][p].name.c_str();
        std::printf("-%s = %s\n+%s = %s\n", name, DisplayValue(a).c_str(), name, DisplayValue(b).c_str());
    }
    return same ? kExitSuccess : kExitFailed;
}

}  // namespace k4xtrace
