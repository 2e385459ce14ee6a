#include "platform/base/Object.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

// Documents whose records name a base other than their C++ base, as the
// project-kind documents do.
class CTestDrawDoc : public CObject {
    DECLARE_DYNCREATE(CTestDrawDoc)
};
IMPLEMENT_DYNCREATE(CTestDrawDoc, CObject)

class CTestPageDoc : public CObject {
    DECLARE_DYNAMIC(CTestPageDoc)
};
IMPLEMENT_DYNAMIC(CTestPageDoc, CObject)

class CTestPosterDoc : public CTestPageDoc {
    DECLARE_DYNCREATE(CTestPosterDoc)
};
IMPLEMENT_DYNCREATE(CTestPosterDoc, CTestDrawDoc)

class CTestSerial : public CObject {
    DECLARE_SERIAL(CTestSerial)
};
IMPLEMENT_SERIAL(CTestSerial, CObject, 4)

} // namespace

TEST(Object, RecordsFollowTheDeclaredBase)
{
    CTestPosterDoc poster;
    EXPECT_TRUE(poster.IsKindOf(RUNTIME_CLASS(CTestPosterDoc)));
    EXPECT_TRUE(poster.IsKindOf(RUNTIME_CLASS(CTestDrawDoc)));
    EXPECT_TRUE(poster.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(poster.IsKindOf(RUNTIME_CLASS(CTestPageDoc))) << "the C++ base is not the declared one";
    EXPECT_EQ(RUNTIME_CLASS(CTestPosterDoc)->m_pBaseClass, RUNTIME_CLASS(CTestDrawDoc));
    EXPECT_STREQ(poster.GetRuntimeClass()->m_lpszClassName, "CTestPosterDoc");
    EXPECT_EQ(RUNTIME_CLASS(CTestPosterDoc)->m_nObjectSize, static_cast<int>(sizeof(CTestPosterDoc)));
    EXPECT_FALSE(RUNTIME_CLASS(CObject)->IsDerivedFrom(RUNTIME_CLASS(CTestDrawDoc)));
    EXPECT_FALSE(RUNTIME_CLASS(CObject)->IsDerivedFrom(nullptr));
}

TEST(Object, FindsCreatableClassesByName)
{
    EXPECT_EQ(CRuntimeClass::FromName("CTestPosterDoc"), RUNTIME_CLASS(CTestPosterDoc));
    EXPECT_EQ(CRuntimeClass::FromName("CTestSerial"), RUNTIME_CLASS(CTestSerial));
    EXPECT_EQ(CRuntimeClass::FromName("CTestPageDoc"), nullptr) << "not creatable";
    EXPECT_EQ(CRuntimeClass::FromName("ctestserial"), nullptr) << "names match exactly";
    EXPECT_EQ(CRuntimeClass::FromName(nullptr), nullptr);

    std::unique_ptr<CObject> made(RUNTIME_CLASS(CTestPosterDoc)->CreateObject());
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetRuntimeClass(), RUNTIME_CLASS(CTestPosterDoc));
    EXPECT_EQ(RUNTIME_CLASS(CTestPageDoc)->CreateObject(), nullptr);
}

TEST(Object, SchemaSaysWhetherAClassIsSerialisable)
{
    EXPECT_TRUE(CTestSerial().IsSerializable());
    EXPECT_EQ(RUNTIME_CLASS(CTestSerial)->m_wSchema, 4u);
    EXPECT_FALSE(CTestPosterDoc().IsSerializable());
    EXPECT_EQ(RUNTIME_CLASS(CTestDrawDoc)->m_wSchema, 0xFFFFu);
}
