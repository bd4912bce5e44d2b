#pragma once

// The stand-in's descriptors: the scripting descriptor handed to the module for a scripted run
// and recorded by it at Finish (read and write procedures over a flattened handle), the action
// descriptor suite, and the descriptor registry, whose persistent entries are kept in a file so
// that the next run of the host sees them.

#include "module/hostInterface.h"

#include <string>
#include <vector>

// One key of a descriptor. `code` is the unit of a unit float and the type of an enumerated.
struct DescriptorItem {
    DescriptorKeyID key;
    DescriptorTypeID type;
    std::uint32_t code;
    std::uint32_t enumValue;
    double number;
    bool flag;
};

struct HostDescriptor {
    std::vector<DescriptorItem> items;
};

// Lookups for the host and tests: null when the key is absent.
const DescriptorItem* findItem(const HostDescriptor& descriptor, DescriptorKeyID key);
void putItem(HostDescriptor* descriptor, const DescriptorItem& item);

// A scripting descriptor in a new handle (null without memory), and back.
PIDescriptorHandle flattenDescriptor(const HostDescriptor& descriptor);
HostDescriptor unflattenDescriptor(PIDescriptorHandle handle);

extern ReadDescriptorProcs hostReadDescriptorProcs;
extern WriteDescriptorProcs hostWriteDescriptorProcs;
extern SPBasicSuite hostBasicSuite;

// Where the registry's persistent entries live: a file in the user's configuration folder.
std::string registryFilePath();

// Drops every entry and reads the persistent ones from the registry file; call at the start of
// a host run.
void loadDescriptorRegistry();

// The registry entry under `key`, or null.
const HostDescriptor* registryEntry(const std::string& key);

struct SuiteCounts {
    int acquired; // acquisitions not yet released
    int descriptorsAlive; // action descriptors made and not freed
};
SuiteCounts suiteCounts();
