#include "support/store_components.h"

#include <gtest/gtest.h>

namespace corvida {
namespace {

class TTextFiles : public TFileExtComponent {
 public:
  using TFileExtComponent::TFileExtComponent;

 protected:
  void InitFileExtList(TStringList& list) const override {
    list.Add(".TXT");
    list.Add(".PAS");
  }
};

TEST(FileExtComponent, FindsExtensionsWithoutRegardToCase) {
  TTextFiles files(nullptr);
  EXPECT_TRUE(files.HasFileExt(".pas"));
  EXPECT_TRUE(files.HasFileExt(".Txt"));
  EXPECT_FALSE(files.HasFileExt(".mqo"));
  EXPECT_FALSE(files.HasFileExt(""));
}

TEST(FileExtComponent, SettingTheListCopiesItSortedWithoutDuplicates) {
  TComponent owner(nullptr);
  auto* files = new TTextFiles(&owner);
  TStringList given;
  for (const char* s : {".mqo", ".C", ".c", ".MQO", ".a"}) given.Add(s);
  files->SetFileExtList(&given);
  EXPECT_EQ(files->FileExtList()->Text(), ".a\r\n.C\r\n.mqo\r\n");
  EXPECT_FALSE(files->HasFileExt(".txt"));
  EXPECT_TRUE(files->HasFileExt(".MQO"));
  given.Clear();
  EXPECT_EQ(files->FileExtList()->Count(), 3) << "the component keeps its own copy";
}

TEST(FileExtComponent, PublishesItsList) {
  TFileExtComponent files(nullptr);
  const TPropInfo* prop = files.ClassInfo()->FindProp("FileExtList");
  ASSERT_NE(prop, nullptr);
  EXPECT_EQ(prop->getObject(&files), files.FileExtList());
}

}  // namespace
}  // namespace corvida
