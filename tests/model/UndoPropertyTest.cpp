// Ten thousand random edits, undos and redos on a design of fifty objects
// of every class: after every command each object's whole state matches a
// model that keeps the design's state after each recorded edit.

#include "tests/model/ModelTestSupport.h"

#include "model/DrawPoly.h"
#include "model/UndoList.h"
#include "model/UndoRecording.h"
#include "platform/base/Archive.h"
#include "platform/base/MemFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using DesignState = std::map<DWORD, std::string>;

class UndoPropertyTest : public modeltest::DesignViewTest {
protected:
    DesignState State()
    {
        DesignState state;
        const CObList& objects = m_pView->GetObjects();
        for (POSITION pos = objects.GetHeadPosition(); pos != nullptr;) {
            auto* pObj = static_cast<CDrawObj*>(objects.GetNext(pos));
            state[pObj->m_nSerial] = modeltest::ObjectState(pObj);
        }
        return state;
    }
    std::vector<CDrawObj*> Objects()
    {
        std::vector<CDrawObj*> out;
        const CObList& objects = m_pView->GetObjects();
        for (POSITION pos = objects.GetHeadPosition(); pos != nullptr;)
            out.push_back(static_cast<CDrawObj*>(objects.GetNext(pos)));
        return out;
    }
    CDrawObj* MakeObject(std::mt19937& rng)
    {
        std::uniform_int_distribution<int> coord(-300, 300);
        const int x = coord(rng);
        const int y = coord(rng);
        const CRect rect(x, y + 60, x + 80, y);
        switch (rng() % 4) {
        case 0: {
            auto* pPoly = new CDrawPoly(rect);
            for (int i = 0; i < 5; ++i)
                pPoly->AddPoint(CPoint(x + i * 15, y + (i % 2) * 40));
            return pPoly;
        }
        case 1: return new CDrawObj(rect);
        case 2: {
            auto* pCalendar = new CDrawRect(rect);
            pCalendar->m_nCalendarStart = 2460436;
            pCalendar->m_nCalendarWords[1] = CALENDAR_MONTH;
            pCalendar->SetCellText(CALENDAR_MONTH, 1 + static_cast<int>(rng() % 28), "Note");
            return pCalendar;
        }
        default: return new CDrawRect(rect, static_cast<int>(rng() % SHAPE_KIND_COUNT));
        }
    }
};

TEST_F(UndoPropertyTest, RandomEditsUndosAndRedosFollowTheModel)
{
    std::mt19937 rng(20261207);
    for (int i = 0; i < 50; ++i)
        m_pDoc->AddObject(MakeObject(rng), m_pView);
    CUndoList& list = m_pDoc->GetUndoList();
    list.Clear();

    // history[k] is the design after the k-th kept edit; cur is where the
    // design stands; base is the oldest state the history can reach.
    std::vector<DesignState> history{State()};
    size_t cur = 0;
    auto record = [&] {
        history.resize(cur + 1);
        history.push_back(State());
        ++cur;
        while (history.size() > CUndoList::kMaxSteps + 1) {
            history.erase(history.begin());
            --cur;
        }
    };

    for (int step = 0; step < 10000; ++step) {
        std::vector<CDrawObj*> objects = Objects();
        const int nAction = static_cast<int>(rng() % 10);
        if (nAction < 2) {
            const BOOL bDone = list.Undo(m_pDoc);
            ASSERT_EQ(bDone != FALSE, cur > 0) << step;
            if (bDone)
                --cur;
        } else if (nAction < 4) {
            const BOOL bDone = list.Redo(m_pDoc);
            ASSERT_EQ(bDone != FALSE, cur + 1 < history.size()) << step;
            if (bDone)
                ++cur;
        } else if (nAction == 4 || objects.size() < 5) {
            CDrawObj* pNew = MakeObject(rng);
            m_pDoc->AddObject(pNew, m_pView);
            RecordUndoCreate(m_pDoc, &pNew);
            record();
        } else {
            CDrawObj* pObj = objects[rng() % objects.size()];
            CObList one;
            one.AddTail(pObj);
            switch (nAction) {
            case 5: {
                const int dx = static_cast<int>(rng() % 41) - 20;
                const int dy = static_cast<int>(rng() % 41) - 20;
                if (dx == 0 && dy == 0)
                    continue;
                CRect rect = pObj->m_position;
                rect.OffsetRect(dx, dy);
                pObj->MoveTo(rect, m_pView);
                RecordUndoMove(m_pDoc, &one, dx, dy);
                break;
            }
            case 6: {
                RecordUndoDelete(m_pDoc, &one);
                m_pView->Remove(pObj);
                delete pObj;
                break;
            }
            case 7: {
                RecordUndoLock(m_pDoc, &one);
                pObj->m_wFlags ^= OBJ_FLAG_LOCKED;
                break;
            }
            case 8: {
                RecordUndoProperties(m_pDoc, pObj);
                pObj->m_logpen.lopnColor = static_cast<COLORREF>(rng() & 0xFFFFFF);
                pObj->m_bFill = !pObj->m_bFill;
                break;
            }
            default: {
                const WORD wGroup = static_cast<WORD>(rng() % 4);
                if (wGroup == pObj->m_wObjectWord)
                    continue;
                RecordUndoGroup(m_pDoc, &one, wGroup);
                pObj->m_wObjectWord = wGroup;
                break;
            }
            }
            record();
        }
        ASSERT_EQ(State(), history[cur]) << "step " << step << " action " << nAction;
    }
    // No step left a temporary picture behind.
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::temp_directory_path())) {
        const std::string name = entry.path().filename().string();
        EXPECT_NE(name.rfind("o4i", 0), 0u) << name;
        EXPECT_NE(name.rfind("o4m", 0), 0u) << name;
    }
}

} // namespace
