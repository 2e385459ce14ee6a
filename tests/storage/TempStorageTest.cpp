// Temporary compound files (StgCreateDocfile without a name) and what a
// start does with those of copies that ended without releasing them.

#include "platform/files/ProcessTag.h"
#include "platform/files/UserFolders.h"
#include "platform/storage/Storage.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <string>

using namespace platform;

namespace {

std::set<std::string> TempStorages()
{
    std::set<std::string> names;
    if (DIR* dir = opendir(TempDir().c_str())) {
        while (dirent* entry = readdir(dir))
            if (std::string(entry->d_name).rfind("~stg.", 0) == 0)
                names.insert(entry->d_name);
        closedir(dir);
    }
    return names;
}

IStorage* MakeTempStorage()
{
    IStorage* storage = nullptr;
    HRESULT hr = StgCreateDocfile(nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &storage);
    return SUCCEEDED(hr) ? storage : nullptr;
}

TEST(TempStorageTest, StartRemovesTempStoragesOfEndedCopiesOnly)
{
    RemoveTempStoragesOfEndedCopies();
    std::set<std::string> before = TempStorages();

    IStorage* own = MakeTempStorage();
    ASSERT_NE(own, nullptr);
    std::set<std::string> withOwn = TempStorages();
    ASSERT_EQ(withOwn.size(), before.size() + 1);
    std::string ownName;
    for (const std::string& name : withOwn)
        if (!before.count(name))
            ownName = name;
    EXPECT_EQ(ownName.rfind("~stg." + ProcessTag() + ".", 0), 0u) << ownName;

    // A copy that crashes with a temporary storage open.
    pid_t child = fork();
    if (child == 0)
        _exit(MakeTempStorage() ? 0 : 1);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(TempStorages().size(), withOwn.size() + 1);

    EXPECT_EQ(RemoveTempStoragesOfEndedCopies(), 1);
    EXPECT_EQ(TempStorages(), withOwn) << "a running copy's storage was removed, or a dead one's kept";

    own->Release();
    EXPECT_EQ(TempStorages(), before);
}

} // namespace
