#include "hostSide/hostDescriptors.h"

#include "hostSide/hostMemory.h"
#include "platform/paths.h"
#include "platform/wholeFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <new>
#include <sstream>
#include <string_view>
#include <unistd.h>
#include <unordered_map>

struct ActionDescriptorTag {
    HostDescriptor descriptor;
};

namespace {

constexpr OSErr descriptorTypeError = -1715; // the key holds another type

struct DescriptorReader {
    HostDescriptor descriptor;
    std::size_t next;
    const DescriptorItem* current;
};

struct DescriptorWriter {
    HostDescriptor descriptor;
};

struct RegistryEntry {
    HostDescriptor descriptor;
    bool persistent;
};

std::map<std::string, RegistryEntry> registry; // its nodes stay where they are

// An item of one registry entry while the file is read.
struct ItemPlace {
    const RegistryEntry* entry;
    DescriptorKeyID key;
    bool operator==(const ItemPlace&) const = default;
};

struct ItemPlaceHash {
    std::size_t operator()(const ItemPlace& place) const
    {
        return std::hash<const void*>()(place.entry)
            ^ (std::size_t(place.key) * 0x9E3779B97F4A7C15u);
    }
};

SuiteCounts suites {};

// ---- scripting descriptors -------------------------------------------------------------

PIReadDescriptor openReadDescriptor(PIDescriptorHandle handle, DescriptorKeyIDArray)
{
    return new (std::nothrow) DescriptorReader {unflattenDescriptor(handle), 0, nullptr};
}

OSErr closeReadDescriptor(PIReadDescriptor reader)
{
    delete static_cast<DescriptorReader*>(reader);
    return noErr;
}

Boolean getKey(PIReadDescriptor token, DescriptorKeyID* key, DescriptorTypeID* type, int32* flags)
{
    auto* reader = static_cast<DescriptorReader*>(token);
    if (!reader || reader->next >= reader->descriptor.items.size())
        return 0;
    reader->current = &reader->descriptor.items[reader->next++];
    *key = reader->current->key;
    *type = reader->current->type;
    *flags = 0;
    return 1;
}

const DescriptorItem* currentOf(PIReadDescriptor token, DescriptorTypeID type)
{
    const auto* reader = static_cast<DescriptorReader*>(token);
    return reader && reader->current && reader->current->type == type ? reader->current : nullptr;
}

OSErr getUnitFloat(PIReadDescriptor token, DescriptorUnitID* unit, double* value)
{
    const DescriptorItem* item = currentOf(token, typeUnitFloat);
    if (!item)
        return descriptorTypeError;
    *unit = item->code;
    *value = item->number;
    return noErr;
}

OSErr getEnumerated(PIReadDescriptor token, DescriptorEnumID* value)
{
    const DescriptorItem* item = currentOf(token, typeEnumerated);
    if (!item)
        return descriptorTypeError;
    *value = item->enumValue;
    return noErr;
}

OSErr getBoolean(PIReadDescriptor token, Boolean* value)
{
    const DescriptorItem* item = currentOf(token, typeBoolean);
    if (!item)
        return descriptorTypeError;
    *value = item->flag ? 1 : 0;
    return noErr;
}

PIWriteDescriptor openWriteDescriptor()
{
    return new (std::nothrow) DescriptorWriter {};
}

OSErr closeWriteDescriptor(PIWriteDescriptor token, PIDescriptorHandle* handle)
{
    auto* writer = static_cast<DescriptorWriter*>(token);
    if (!writer)
        return memFullErr;
    *handle = flattenDescriptor(writer->descriptor);
    delete writer;
    return *handle ? noErr : memFullErr;
}

OSErr putUnitFloat(
    PIWriteDescriptor token, DescriptorKeyID key, DescriptorUnitID unit, double* value)
{
    putItem(&static_cast<DescriptorWriter*>(token)->descriptor,
        {key, typeUnitFloat, unit, 0, *value, false});
    return noErr;
}

OSErr putEnumerated(
    PIWriteDescriptor token, DescriptorKeyID key, DescriptorTypeID type, DescriptorEnumID value)
{
    putItem(&static_cast<DescriptorWriter*>(token)->descriptor,
        {key, typeEnumerated, type, value, 0.0, false});
    return noErr;
}

OSErr putBoolean(PIWriteDescriptor token, DescriptorKeyID key, Boolean value)
{
    putItem(&static_cast<DescriptorWriter*>(token)->descriptor,
        {key, typeBoolean, 0, 0, 0.0, value != 0});
    return noErr;
}

// ---- action descriptors ----------------------------------------------------------------

SPErr make(PIActionDescriptor* descriptor)
{
    *descriptor = new (std::nothrow) ActionDescriptorTag {};
    if (!*descriptor)
        return memFullErr;
    ++suites.descriptorsAlive;
    return kSPNoError;
}

SPErr freeDescriptor(PIActionDescriptor descriptor)
{
    if (descriptor)
        --suites.descriptorsAlive;
    delete descriptor;
    return kSPNoError;
}

SPErr putUnitFloatItem(
    PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorUnitID unit, double value)
{
    putItem(&descriptor->descriptor, {key, typeUnitFloat, unit, 0, value, false});
    return kSPNoError;
}

SPErr putEnumeratedItem(PIActionDescriptor descriptor, DescriptorKeyID key,
    DescriptorEnumTypeID type, DescriptorEnumID value)
{
    putItem(&descriptor->descriptor, {key, typeEnumerated, type, value, 0.0, false});
    return kSPNoError;
}

SPErr putBooleanItem(PIActionDescriptor descriptor, DescriptorKeyID key, Boolean value)
{
    putItem(&descriptor->descriptor, {key, typeBoolean, 0, 0, 0.0, value != 0});
    return kSPNoError;
}

const DescriptorItem* typedItem(
    PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorTypeID type)
{
    const DescriptorItem* item = descriptor ? findItem(descriptor->descriptor, key) : nullptr;
    return item && item->type == type ? item : nullptr;
}

SPErr getUnitFloatItem(
    PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorUnitID* unit, double* value)
{
    const DescriptorItem* item = typedItem(descriptor, key, typeUnitFloat);
    if (!item)
        return descriptorTypeError;
    *unit = item->code;
    *value = item->number;
    return kSPNoError;
}

SPErr getEnumeratedItem(PIActionDescriptor descriptor, DescriptorKeyID key,
    DescriptorEnumTypeID* type, DescriptorEnumID* value)
{
    const DescriptorItem* item = typedItem(descriptor, key, typeEnumerated);
    if (!item)
        return descriptorTypeError;
    *type = item->code;
    *value = item->enumValue;
    return kSPNoError;
}

SPErr getBooleanItem(PIActionDescriptor descriptor, DescriptorKeyID key, Boolean* value)
{
    const DescriptorItem* item = typedItem(descriptor, key, typeBoolean);
    if (!item)
        return descriptorTypeError;
    *value = item->flag ? 1 : 0;
    return kSPNoError;
}

PSActionDescriptorProcs actionDescriptorProcs {make, freeDescriptor, putUnitFloatItem,
    putEnumeratedItem, putBooleanItem, getUnitFloatItem, getEnumeratedItem, getBooleanItem};

// ---- registry and its file --------------------------------------------------------------
// One line per item: entry key, item key, type, code, enumerated value, number, flag; codes as
// hexadecimal, the number with enough digits to read back exactly.

std::string registryText()
{
    std::ostringstream text;
    for (const auto& [key, entry] : registry) {
        if (!entry.persistent)
            continue;
        for (const DescriptorItem& item : entry.descriptor.items) {
            char number[40];
            std::snprintf(number, sizeof number, "%.17g", item.number);
            text << key << ' ' << std::hex << item.key << ' ' << item.type << ' ' << item.code
                 << ' ' << item.enumValue << std::dec << ' ' << number << ' ' << (item.flag ? 1 : 0)
                 << '\n';
        }
    }
    return text.str();
}

// The file is written under a name of its own beside the registry and renamed into place: a
// failed save leaves neither a half-written registry nor a stray file, and two hosts saving at
// the same time never write into one temporary file.
void saveRegistry()
{
    const std::string path = registryFilePath();
    const std::size_t slash = path.rfind('/');
    if (createDirectory(path.substr(0, slash)))
        return;
    std::string reason;
    (void)writeFileAtomically(path, registryText(), &reason);
}

SPErr registerEntry(const char* key, PIActionDescriptor descriptor, Boolean isPersistent)
{
    if (!key || !descriptor)
        return descriptorTypeError;
    registry[key] = RegistryEntry {descriptor->descriptor, isPersistent != 0};
    if (isPersistent)
        saveRegistry();
    return kSPNoError;
}

SPErr getEntry(const char* key, PIActionDescriptor* descriptor)
{
    *descriptor = nullptr;
    const auto entry = key ? registry.find(key) : registry.end();
    if (entry == registry.end())
        return kSPNoError;
    SPErr error = make(descriptor);
    if (error == kSPNoError)
        (*descriptor)->descriptor = entry->second.descriptor;
    return error;
}

PSDescriptorRegistryProcs registryProcs {registerEntry, getEntry};

SPErr acquireSuite(const char* name, int32 version, const void** suite)
{
    *suite = nullptr;
    if (name && std::strcmp(name, kPSDescriptorRegistrySuite) == 0
        && version == kPSDescriptorRegistrySuiteVersion)
        *suite = &registryProcs;
    else if (name && std::strcmp(name, kPSActionDescriptorSuite) == 0
        && version == kPSActionDescriptorSuiteVersion)
        *suite = &actionDescriptorProcs;
    if (!*suite)
        return kSPSuiteNotFoundError;
    ++suites.acquired;
    return kSPNoError;
}

SPErr releaseSuite(const char*, int32)
{
    --suites.acquired;
    return kSPNoError;
}

} // namespace

ReadDescriptorProcs hostReadDescriptorProcs {
    openReadDescriptor, closeReadDescriptor, getKey, getUnitFloat, getEnumerated, getBoolean};
WriteDescriptorProcs hostWriteDescriptorProcs {
    openWriteDescriptor, closeWriteDescriptor, putUnitFloat, putEnumerated, putBoolean};
SPBasicSuite hostBasicSuite {acquireSuite, releaseSuite};

const DescriptorItem* findItem(const HostDescriptor& descriptor, DescriptorKeyID key)
{
    for (const DescriptorItem& item : descriptor.items)
        if (item.key == key)
            return &item;
    return nullptr;
}

void putItem(HostDescriptor* descriptor, const DescriptorItem& item)
{
    for (DescriptorItem& existing : descriptor->items) {
        if (existing.key == item.key) {
            existing = item;
            return;
        }
    }
    descriptor->items.push_back(item);
}

PIDescriptorHandle flattenDescriptor(const HostDescriptor& descriptor)
{
    std::vector<char> bytes(descriptor.items.size() * sizeof(DescriptorItem));
    if (!bytes.empty())
        std::memcpy(bytes.data(), descriptor.items.data(), bytes.size());
    return newHandleWith(bytes);
}

HostDescriptor unflattenDescriptor(PIDescriptorHandle handle)
{
    HostDescriptor descriptor;
    descriptor.items.resize(handleSize(handle) / sizeof(DescriptorItem));
    if (!descriptor.items.empty())
        std::memcpy(descriptor.items.data(), handleContents(handle),
            descriptor.items.size() * sizeof(DescriptorItem));
    return descriptor;
}

std::string registryFilePath()
{
    return userConfigDirectory() + "/morvanclarity-host/descriptorRegistry.txt";
}

void loadDescriptorRegistry()
{
    registry.clear();
    // A line whose item key its entry already holds replaces that item in place, as putItem
    // does: the last value wins at the place of the first. Where each key sits is indexed, so
    // that a registry of many items loads in linear time.
    std::unordered_map<ItemPlace, std::size_t, ItemPlaceHash> places;
    std::ifstream file(registryFilePath());
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        std::string key;
        DescriptorItem item {};
        std::string number;
        int flag = 0;
        fields >> key >> std::hex >> item.key >> item.type >> item.code >> item.enumValue
            >> std::dec >> number >> flag;
        if (!fields)
            continue;
        item.number = std::strtod(number.c_str(), nullptr);
        item.flag = flag != 0;
        RegistryEntry& entry = registry[key];
        entry.persistent = true;
        std::vector<DescriptorItem>& items = entry.descriptor.items;
        const auto [place, added] = places.try_emplace(ItemPlace {&entry, item.key}, items.size());
        if (added)
            items.push_back(item);
        else
            items[place->second] = item;
    }
}

const HostDescriptor* registryEntry(const std::string& key)
{
    const auto entry = registry.find(key);
    return entry == registry.end() ? nullptr : &entry->second.descriptor;
}

SuiteCounts suiteCounts()
{
    return suites;
}
