// SPDX-License-Identifier: MIT
#include "sim/ItemStore.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace q57::sim {

const std::array<const char *, kItemCount> kItemFileNames = {
    "preferences.bin", "addressbook.txt", "folders.bin", "memos.txt", "quicktext.txt", "testfile.txt", "file.txt",
};

bool isPlainFileName(const std::string &name)
{
    return !name.empty() && name.find('/') == std::string::npos && name != "." && name != "..";
}

namespace {

class MemoryStore final : public ItemStore {
public:
    explicit MemoryStore(DeviceContents contents) : contents_(std::move(contents)) {}

    Bytes item(uint8_t id) const override { return id < kItemCount ? contents_.items[id] : Bytes{}; }

    bool setItem(uint8_t id, const Bytes &data) override
    {
        if (id >= kItemCount)
            return false;
        contents_.items[id] = data;
        return true;
    }

    bool namedFile(const std::string &name, Bytes &data) const override
    {
        const auto found = contents_.files.find(name);
        if (found == contents_.files.end())
            return false;
        data = found->second;
        return true;
    }

private:
    DeviceContents contents_;
};

bool readWhole(const std::filesystem::path &path, Bytes &data)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

class FolderStore final : public ItemStore {
public:
    explicit FolderStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

    Bytes item(uint8_t id) const override
    {
        Bytes data;
        if (id < kItemCount)
            readWhole(folder_ / kItemFileNames[id], data); // a missing file is an empty item
        return data;
    }

    // Written beside the target and renamed over it, so a reader never sees half an item.
    bool setItem(uint8_t id, const Bytes &data) override
    {
        if (id >= kItemCount)
            return false;
        const std::filesystem::path target = folder_ / kItemFileNames[id];
        const std::filesystem::path partial = target.string() + ".part";
        {
            std::ofstream out(partial, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char *>(data.data()), static_cast<std::streamsize>(data.size()));
            if (!out.flush())
                return false;
        }
        std::error_code failure;
        std::filesystem::rename(partial, target, failure);
        return !failure;
    }

    bool namedFile(const std::string &name, Bytes &data) const override
    {
        return isPlainFileName(name) && readWhole(folder_ / kNamedFilesFolder / name, data);
    }

private:
    std::filesystem::path folder_;
};

} // namespace

std::unique_ptr<ItemStore> makeMemoryStore(DeviceContents contents)
{
    return std::make_unique<MemoryStore>(std::move(contents));
}

std::unique_ptr<ItemStore> makeFolderStore(const std::string &folder, std::string &error)
{
    std::error_code failure;
    if (!std::filesystem::is_directory(folder, failure)) {
        error = "--data " + folder + " is not a folder";
        return nullptr;
    }
    return std::make_unique<FolderStore>(folder);
}

} // namespace q57::sim
