#pragma once
// The HKEY_CURRENT_USER tree of this process and its file. Loaded from
// ConfigDir()/"registry" on first use; a file that is damaged, too large or
// unreadable is reported once on stderr, kept as "registry.bad" and replaced
// by an empty tree, so the program always starts.
//
// Changes are gathered in memory and written together by Flush(): the whole
// tree goes to a new file that is renamed over the old one, so whenever the
// process ends the file holds either the tree of the last flush or the one
// before, never a mix. A flush with nothing changed since the file was read
// or written writes nothing. Whatever is still pending when the process
// ends through exit() or a return from main is flushed then; a process that
// is killed loses its last burst of changes.
// One instance per process, owned by Instance(); Reset() is for tests.

#include "platform/base/Types.h"

#include <memory>
#include <string>
#include <sys/types.h>

namespace platform {

class RegistryKey;

class RegistryStore {
public:
    static RegistryStore& Instance();

    // The root of HKEY_CURRENT_USER, loading the file first if needed.
    const std::shared_ptr<RegistryKey>& CurrentUser();

    // The tree was changed; the change reaches the file at the next flush.
    void MarkChanged();
    bool HasPendingChanges() const { return m_pending; }

    // Writes pending changes: ERROR_SUCCESS, or ERROR_CANTWRITE when the file
    // could not be replaced (the file is as it was and the changes stay
    // pending).
    LONG Flush();
    // The same, except that after a failed write it waits for a new change
    // instead of trying again at every idle moment.
    void FlushAtIdle();

    // How many times this process has tried to replace the file.
    unsigned long FileWriteCount() const { return m_writeCount; }

    bool HasLoadProblem();
    std::string LoadProblemText();

    // Forgets the tree, its pending changes and the load problem; the next
    // use loads again.
    void Reset();

    static std::string FilePath();

private:
    enum class FailureNotice { Report, Quiet };

    RegistryStore() = default;
    LONG Write(FailureNotice notice);
    void EnsureLoaded();
    void Load();
    void SetAside(const std::string& path, const std::string& why);
    static void FlushAtExit();

    std::shared_ptr<RegistryKey> m_root;
    std::string m_problem;
    // The file the tree came from and goes back to, and the tree as that
    // file holds it (in the form the writer gives it).
    std::string m_path;
    std::string m_fileText;
    bool m_pending = false;
    bool m_lastWriteFailed = false;
    bool m_writeFailureReported = false;
    unsigned long m_writeCount = 0;
    pid_t m_exitFlushOwner = 0;
};

} // namespace platform
