// SPDX-License-Identifier: MIT
// Where the device keeps its items, in device form: in memory (the built-in
// sample device) or as one file per item in a folder (--data DIR).
#pragma once

#include "session/SessionCodes.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace q57::sim {

using Bytes = std::vector<uint8_t>;

// Item ids as the session requests name them.
using ItemId = device::ItemId;
using enum device::ItemId;
constexpr uint8_t kItemCount = 7;

// File names in a --data folder, by item id; reads of the File item name a
// file in the folder's "files" subfolder.
extern const std::array<const char *, kItemCount> kItemFileNames;
constexpr const char *kNamedFilesFolder = "files";

struct DeviceContents {
    std::array<Bytes, kItemCount> items;
    std::map<std::string, Bytes> files; // what the File item can read, by name
};

class ItemStore {
public:
    virtual ~ItemStore() = default;
    virtual Bytes item(uint8_t id) const = 0;
    virtual bool setItem(uint8_t id, const Bytes &data) = 0;
    // A file the File item reads by name; false when there is none.
    virtual bool namedFile(const std::string &name, Bytes &data) const = 0;
};

std::unique_ptr<ItemStore> makeMemoryStore(DeviceContents contents);
// Fails (with a reason) when folder is not a directory.
std::unique_ptr<ItemStore> makeFolderStore(const std::string &folder, std::string &error);

// A name the File item may ask for: no path separators, not "." or "..".
bool isPlainFileName(const std::string &name);

} // namespace q57::sim
