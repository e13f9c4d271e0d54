// The REGEDIT4 file store of the current user's registry, the same on every system.
#include "registry/registry_file.h"

#include "rules/errors.h"
#include "platform/file_lock.h"
#include "rules/paths.h"

#include <ctime>
#include <functional>
#include <mutex>
#include <optional>
#include <utility>

namespace brevok {
namespace {

// "<root>\<path>" after checking the path's levels; nothing for an unusable path.
std::optional<std::string> JoinKeyPath(std::string_view base, std::string_view path)
{
    if (path.empty())
        return std::string(base);
    if (path.front() == '\\' || path.back() == '\\' || path.find("\\\\") != std::string_view::npos ||
        !IsStorableRegistryName(path))
        return std::nullopt;
    return std::string(base) + "\\" + std::string(path);
}

std::string Timestamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y%m%d-%H%M%S", &local);
    return buf;
}

}  // namespace

// The shared state of a store and its open keys.
struct RegistryFile::Store {
    std::string path;
    std::string lockPath;
    const WriteLayer& layer;
    std::mutex noticeMutex;
    std::string notice;
    bool toldUnreadable = false;

    Store(std::string p, const WriteLayer& l) : path(std::move(p)), lockPath(path + ".lock"), layer(l) { }

    // The current content; nothing when the file exists but cannot be read, or cannot be
    // parsed and could not be set aside. Call with the lock held where possible.
    std::optional<RegistryTree> Load()
    {
        std::string text;
        try {
            if (PathMissing(path))
                return RegistryTree{};
            text = ReadFileBytes(path);
        } catch (const Error&) {
            return std::nullopt;
        }
        Parsed<RegistryTree> parsed = ParseRegistryText(text);
        if (parsed)
            return std::move(*parsed);
        return SetAside(parsed);
    }

    std::optional<RegistryTree> SetAside(const Parsed<RegistryTree>& error)
    {
        std::string aside = path + ".bad-" + Timestamp();
        for (int n = 2; PathExists(aside) && n < 1000; ++n)
            aside = path + ".bad-" + Timestamp() + "-" + std::to_string(n);
        const std::string what = "The settings file " + path + " could not be read (line " +
            std::to_string(error.line) + ": " + error.error + ").";
        if (layer.Rename(path, aside)) {
            Tell(what + "\rIt has been kept as " + aside + ", and the program starts with the default settings.",
                 false);
            return RegistryTree{};
        }
        // Not set aside: leave it untouched, and never write over it.
        Tell(what +
                 "\rIt could not be renamed aside either, so the program starts with the default "
                 "settings and cannot save them.",
             true);
        return std::nullopt;
    }

    // Adds a paragraph to the notice; `once` ones are told once per store.
    void Tell(const std::string& text, bool once)
    {
        const std::lock_guard guard(noticeMutex);
        if (once && std::exchange(toldUnreadable, true))
            return;
        if (!notice.empty())
            notice.append("\r");
        notice.append(text);
    }

    std::optional<RegistryTree> Read()
    {
        const FileLock lock(lockPath);
        return Load();
    }

    // Read-modify-write inside the lock. `change` returns whether it changed the tree; the
    // file is rewritten only then. False when the store cannot be read or written.
    bool Modify(const std::function<bool(RegistryTree&)>& change)
    {
        if (!CreateFolders(FolderPart(path)))
            return false;
        const FileLock lock(lockPath);
        if (!lock.Held())
            return false;
        auto tree = Load();
        if (!tree)
            return false;
        if (!change(*tree))
            return true;
        try {
            WriteFileAtomically(path, WriteRegistryText(*tree), layer);
        } catch (const Error&) {
            return false;
        }
        return true;
    }
};

namespace {

class FileKey final : public RegistryKey {
public:
    FileKey(std::shared_ptr<RegistryFile::Store> store, std::string path)
        : store_(std::move(store)), path_(std::move(path))
    { }

    std::optional<RegistryValueInfo> QueryValue(std::string_view name) const override
    {
        const auto value = ReadValue(name);
        if (!value)
            return std::nullopt;
        return RegistryValueInfo{value->type, value->data.size()};
    }

    std::optional<RegistryValue> ReadValue(std::string_view name) const override
    {
        const auto tree = store_->Read();
        if (!tree)
            return std::nullopt;
        const auto* value = tree->FindValue(path_, name);
        if (!value)
            return std::nullopt;
        return *value;
    }

    std::unique_ptr<RegistryKey> OpenSubKey(std::string_view path) const override
    {
        return OpenKey(store_, path_, path);
    }

    std::unique_ptr<RegistryKey> CreateSubKey(std::string_view path) override { return CreateKey(store_, path_, path); }

    bool WriteValue(std::string_view name, const RegistryValue& value) override
    {
        if (!IsStorableRegistryName(name))
            return false;
        return store_->Modify([&](RegistryTree& tree) {
            auto& key = tree.AddKey(path_);
            for (auto& [existing, old] : key.values) {
                if (SameRegistryName(existing, name)) {
                    if (old == value)
                        return false;
                    old = value;
                    return true;
                }
            }
            key.values.emplace_back(std::string(name), value);
            return true;
        });
    }

    static std::unique_ptr<RegistryKey> OpenKey(const std::shared_ptr<RegistryFile::Store>& store,
                                                std::string_view base, std::string_view path)
    {
        const auto full = JoinKeyPath(base, path);
        if (!full)
            return nullptr;
        const auto tree = store->Read();
        if (!tree || (!SameRegistryName(*full, kRegistryRoot) && !tree->HasKey(*full)))
            return nullptr;
        return std::make_unique<FileKey>(store, *full);
    }

    static std::unique_ptr<RegistryKey> CreateKey(const std::shared_ptr<RegistryFile::Store>& store,
                                                  std::string_view base, std::string_view path)
    {
        const auto full = JoinKeyPath(base, path);
        if (!full)
            return nullptr;
        const bool ok = store->Modify([&](RegistryTree& tree) {
            if (SameRegistryName(*full, kRegistryRoot) || tree.HasKey(*full))
                return false;
            tree.AddKey(*full);
            return true;
        });
        if (!ok)
            return nullptr;
        return std::make_unique<FileKey>(store, *full);
    }

private:
    std::shared_ptr<RegistryFile::Store> store_;
    std::string path_;
};

}  // namespace

RegistryFile::RegistryFile(std::string path, const WriteLayer& layer)
    : store_(std::make_shared<Store>(std::move(path), layer))
{ }

RegistryFile::~RegistryFile() = default;

std::unique_ptr<RegistryKey> RegistryFile::CreateUserKey(std::string_view path)
{
    return FileKey::CreateKey(store_, kRegistryRoot, path);
}

std::unique_ptr<RegistryKey> RegistryFile::OpenUserKey(std::string_view path)
{
    return FileKey::OpenKey(store_, kRegistryRoot, path);
}

std::string RegistryFile::TakeNotice()
{
    const std::lock_guard guard(store_->noticeMutex);
    return std::exchange(store_->notice, {});
}

const std::string& RegistryFile::Path() const
{
    return store_->path;
}

}  // namespace brevok
