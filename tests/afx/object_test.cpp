#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

#include "afx_test_util.h"

namespace {

class TBase : public CObject {
  DECLARE_DYNAMIC(TBase)
};
IMPLEMENT_DYNAMIC(TBase, CObject)

class TDerived : public TBase {
  DECLARE_DYNCREATE(TDerived)
};
IMPLEMENT_DYNCREATE(TDerived, TBase)

TEST(RuntimeClass, KindsAndDynamicCreation) {
  TDerived derived;
  TBase base;
  EXPECT_TRUE(derived.IsKindOf(RUNTIME_CLASS(TBase)));
  EXPECT_TRUE(derived.IsKindOf(RUNTIME_CLASS(CObject)));
  EXPECT_FALSE(base.IsKindOf(RUNTIME_CLASS(TDerived)));
  EXPECT_FALSE(derived.IsKindOf(RUNTIME_CLASS(TLeaf)));
  EXPECT_STREQ(derived.GetRuntimeClass()->m_lpszClassName, "TDerived");
  EXPECT_EQ(derived.GetRuntimeClass()->m_nObjectSize, (int)sizeof(TDerived));
  EXPECT_FALSE(derived.IsSerializable());
  EXPECT_EQ(RUNTIME_CLASS(TLeaf)->m_wSchema, 1u);
  EXPECT_EQ(RUNTIME_CLASS(Model)->m_wSchema, VERSIONABLE_SCHEMA | 5);

  std::unique_ptr<CObject> created(RUNTIME_CLASS(TDerived)->CreateObject());
  ASSERT_NE(created, nullptr);
  EXPECT_TRUE(created->IsKindOf(RUNTIME_CLASS(TDerived)));
  EXPECT_EQ(RUNTIME_CLASS(TBase)->CreateObject(), nullptr);

  EXPECT_EQ(DYNAMIC_DOWNCAST(TDerived, &derived), &derived);
  EXPECT_EQ(DYNAMIC_DOWNCAST(TDerived, &base), nullptr);
  EXPECT_EQ(DYNAMIC_DOWNCAST(TDerived, (CObject*)nullptr), nullptr);
}

TEST(RuntimeClass, CreatableClassesAreFoundByName) {
  AfxClassInit(RUNTIME_CLASS(TLeaf));  // again: registration is idempotent
  EXPECT_EQ(CRuntimeClass::FromName("TLeaf"), RUNTIME_CLASS(TLeaf));
  EXPECT_EQ(CRuntimeClass::FromName("TDerived"), RUNTIME_CLASS(TDerived));
  EXPECT_EQ(CRuntimeClass::FromName("CObArray"), RUNTIME_CLASS(CObArray));
  EXPECT_EQ(CRuntimeClass::FromName("TBase"), nullptr);  // not creatable
  EXPECT_EQ(CRuntimeClass::FromName("tleaf"), nullptr);
  EXPECT_EQ(CRuntimeClass::FromName("Nope"), nullptr);
}

TEST(ObjectId, UniqueNonZeroAndOnlyForLiveObjects) {
  std::vector<std::unique_ptr<TDerived>> objects;
  std::set<DWORD> ids;
  for (int i = 0; i < 5000; i++) {
    objects.emplace_back(new TDerived);
    DWORD id = objects.back()->GetObjectId();
    EXPECT_NE(id, 0u);
    EXPECT_TRUE(ids.insert(id).second);
  }
  // Remove every other object; the rest must still be found.
  std::vector<DWORD> gone;
  for (size_t i = 0; i < objects.size(); i += 2) {
    gone.push_back(objects[i]->GetObjectId());
    objects[i].reset();
  }
  for (const auto& object : objects)
    if (object) {
      EXPECT_EQ(CObject::FromObjectId(object->GetObjectId()), object.get());
    }
  for (DWORD id : gone) EXPECT_EQ(CObject::FromObjectId(id), nullptr);
  EXPECT_EQ(CObject::FromObjectId(0), nullptr);

  TDerived later;
  EXPECT_EQ(ids.count(later.GetObjectId()), 0u);
}

}  // namespace
