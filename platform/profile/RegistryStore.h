#pragma once
// The HKEY_CURRENT_USER tree of this process and its file. Loaded from
// ConfigDir()/"registry" on first use; a file that is damaged, too large or
// unreadable is reported once on stderr, kept as "registry.bad" and replaced
// by an empty tree, so the program always starts. Save() writes the whole
// tree through a new file and a rename, so the file is never half written.
// One instance per process, owned by Instance(); Reset() is for tests.

#include "platform/base/Types.h"

#include <memory>
#include <string>

namespace platform {

class RegistryKey;

class RegistryStore {
public:
    static RegistryStore& Instance();

    // The root of HKEY_CURRENT_USER, loading the file first if needed.
    const std::shared_ptr<RegistryKey>& CurrentUser();

    // Writes the tree to the file: ERROR_SUCCESS, or ERROR_CANTWRITE when the
    // file could not be replaced (the tree in memory is kept as it is).
    LONG Save();

    bool HasLoadProblem();
    std::string LoadProblemText();

    // Forgets the tree and the load problem; the next use loads again.
    void Reset();

    static std::string FilePath();

private:
    RegistryStore() = default;
    void EnsureLoaded();
    void Load();
    void SetAside(const std::string& path, const std::string& why);

    std::shared_ptr<RegistryKey> m_root;
    std::string m_problem;
};

} // namespace platform
