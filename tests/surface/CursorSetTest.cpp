#include "surface/CursorSet.h"

#include "platform/base/ResourceTables.h"
#include "platform/base/Resources.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "resources/Resources.h"

#include <gtest/gtest.h>

#include <set>

namespace {

class CursorSetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        threadwick::RegisterResources();
    }
};

bool ProgramHasCursor(UINT nID)
{
    return ::FindResource(NULL, MAKEINTRESOURCE(nID), RT_CURSOR) != NULL;
}

TEST_F(CursorSetTest, SlotsMapOneToOneOntoTheCursorResources)
{
    std::set<UINT> ids(std::begin(CCursorSet::kResourceIds), std::end(CCursorSet::kResourceIds));
    EXPECT_EQ(ids.size(), size_t(CCursorSet::kResourceCount));
    EXPECT_EQ(CCursorSet::kResourceCount, 41);
    // The handle cursors and the ends of the rotation range.
    EXPECT_EQ(CCursorSet::SlotOfResource(264), 2);
    EXPECT_EQ(CCursorSet::SlotOfResource(334), 6);
    EXPECT_EQ(CCursorSet::SlotOfResource(337), 3);
    EXPECT_EQ(CCursorSet::SlotOfResource(519), 11);
    EXPECT_EQ(CCursorSet::SlotOfResource(613), 42);
    EXPECT_EQ(CCursorSet::SlotOfResource(0), -1);
    EXPECT_EQ(CCursorSet::SlotOfResource(623), -1);
}

TEST_F(CursorSetTest, StartsEmptyAndAnswersNullOutOfRange)
{
    CCursorSet set;
    for (int i = 0; i < CCursorSet::kSlotCount; ++i)
        EXPECT_EQ(set.GetCursor(i), HCURSOR(NULL)) << i;
    EXPECT_EQ(set.GetCursor(-1), HCURSOR(NULL));
    EXPECT_EQ(set.GetCursor(CCursorSet::kSlotCount), HCURSOR(NULL));
    EXPECT_EQ(set.GetResourceCursor(9999), HCURSOR(NULL));
}

TEST_F(CursorSetTest, LoadsTheSystemCursorsAndEveryResourceThatExists)
{
    CCursorSet set;
    set.Load();
    EXPECT_EQ(set.GetCursor(CCursorSet::kArrowSlot), ::LoadCursor(NULL, IDC_ARROW));
    EXPECT_EQ(set.GetCursor(CCursorSet::kIBeamSlot), ::LoadCursor(NULL, IDC_IBEAM));
    EXPECT_NE(set.GetCursor(CCursorSet::kArrowSlot), HCURSOR(NULL));
    int nLoaded = 0;
    for (UINT nID : CCursorSet::kResourceIds) {
        nLoaded += set.GetResourceCursor(nID) != NULL ? 1 : 0;
        const HCURSOR h = set.GetResourceCursor(nID);
        EXPECT_EQ(h != NULL, ProgramHasCursor(nID)) << nID;
        if (h != NULL) {
            // A real cursor: the window system takes it.
            ::SetCursor(h);
            EXPECT_EQ(::GetCursor(), h) << nID;
        }
    }
    // The program ships every cursor of the set.
    EXPECT_EQ(nLoaded, CCursorSet::kResourceCount);
}

TEST_F(CursorSetTest, MissingResourcesLeaveEmptySlots)
{
    // The support module holds none of the program's cursors.
    CCursorSet set;
    set.LoadFrom(platform::GetResourceModuleHandle(platform::ResourceModule::Support));
    EXPECT_NE(set.GetCursor(CCursorSet::kArrowSlot), HCURSOR(NULL));
    EXPECT_NE(set.GetCursor(CCursorSet::kIBeamSlot), HCURSOR(NULL));
    const HMODULE hSupport = platform::GetResourceModuleHandle(platform::ResourceModule::Support);
    for (int i = CCursorSet::kFirstResourceSlot; i < CCursorSet::kSlotCount; ++i) {
        const UINT nID = CCursorSet::kResourceIds[i - CCursorSet::kFirstResourceSlot];
        if (::FindResource(hSupport, MAKEINTRESOURCE(nID), RT_CURSOR) == NULL) {
            EXPECT_EQ(set.GetCursor(i), HCURSOR(NULL)) << i;
        }
    }
    // Loading again, and unloading, are safe.
    set.Load();
    set.Unload();
    set.Unload();
    EXPECT_EQ(set.GetCursor(CCursorSet::kArrowSlot), HCURSOR(NULL));
}

TEST_F(CursorSetTest, GoingAwayKeepsTheSharedSystemCursors)
{
    HCURSOR hArrow = NULL;
    {
        CCursorSet set;
        set.Load();
        hArrow = set.GetCursor(CCursorSet::kArrowSlot);
    }
    // The arrow still works for everyone else.
    ::SetCursor(hArrow);
    EXPECT_EQ(::GetCursor(), hArrow);
    EXPECT_EQ(::LoadCursor(NULL, IDC_ARROW), hArrow);
}

} // namespace
