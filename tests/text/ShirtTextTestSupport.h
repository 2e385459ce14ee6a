#pragma once
// A two-sided shirt design in its frame, for the tests of the dialogs that
// walk a design's texts, with the message boxes they show recorded (text
// and type) and answered from a queue (IDOK once it is empty).

#include "tests/surface/SurfaceTestSupport.h"

#include "model/DrawRect.h"
#include "platform/ui/AfxMessageBox.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace texttest {

class ShirtTextTest : public surfacetest::SurfaceTest {
protected:
    void SetUp() override
    {
        SurfaceTest::SetUp();
        platform::SetAfxMessageBoxHandler([this](LPCSTR text, UINT type, UINT) {
            m_boxes.push_back(text != NULL ? text : "");
            m_boxTypes.push_back(type);
            if (m_answers.empty())
                return IDOK;
            const int nAnswer = m_answers.front();
            m_answers.pop_front();
            return nAnswer;
        });
        m_pDoc = NewDesign(AddShirtTemplate());
        ASSERT_NE(m_pDoc, nullptr);
        ASSERT_EQ(m_pDoc->GetSurfaceInfoCount(), 2);
        ASSERT_NE(m_pDoc->GetSurfaceView(1), nullptr) << "a shirt has a front and a back";
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        platform::SetAfxMessageBoxHandler(nullptr);
        SurfaceTest::TearDown();
    }

    // A text object on the surface: block text, or wrapped text.
    CDrawRect* AddText(int nSurface, const char* pszText, BOOL bBlock)
    {
        auto* pObj = new CDrawRect(CRect(100, 400, 500, 200));
        m_pDoc->AddObject(pObj, m_pDoc->GetSurfaceView(nSurface));
        pObj->SetText(pszText, bBlock);
        return pObj;
    }

    CDrawDoc* m_pDoc = nullptr;
    std::deque<int> m_answers; // the message boxes' answers, in order
    std::vector<std::string> m_boxes;
    std::vector<UINT> m_boxTypes;
};

} // namespace texttest
