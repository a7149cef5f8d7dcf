#include "mqo/model_changes.h"

#include <gtest/gtest.h>

#include <sstream>

namespace corvida {
namespace {

// Objects as (name, faces); each face a triangle.
TModelStats Model(std::initializer_list<std::pair<const char*, uint64_t>> objects) {
  TModelStats stats;
  for (const auto& [name, faces] : objects) {
    TObjectStats o;
    o.name = name;
    o.faces = o.triangles = faces;
    stats.objects.push_back(o);
    stats.visible.faces += faces;
    stats.visible.triangles += faces;
  }
  return stats;
}

std::string Text(const TModelChanges& changes) {
  std::ostringstream out;
  WriteChangesText("/m.mqo", changes, out);
  return out.str();
}

// Objects of one name are matched in file order; unchanged ones are left
// out; new ones come in the later file's order, gone ones after them.
TEST(ModelChanges, MatchesTheNthObjectOfANameWithTheNth) {
  const TModelChanges changes =
      ModelChanges(Model({{"leg", 10}, {"body", 50}, {"leg", 12}, {"old", 4}}),
                   Model({{"leg", 10}, {"leg", 8}, {"body", 50}, {"leg", 1}, {"\x96\x58", 2}}));
  EXPECT_EQ(Text(changes),
            "// changes since the previous report (faces, triangles): /m.mqo\n"
            "      -4       -4 : \"leg\"\n"
            "      +1       +1 : \"leg\" new\n"
            "      +2       +2 : \"帽\" new\n"
            "      -4       -4 : \"old\" gone\n"
            "      -5       -5 : Total\n"
            "------------------------------\n");
  std::ostringstream json;
  WriteChangesJsonLine("/m.mqo", ModelChanges(Model({{"a", 1}}), Model({{"a", 1}})), json);
  EXPECT_EQ(json.str(), "{\"kind\":\"changes\",\"path\":\"/m.mqo\",\"objects\":[],\"total\":{\"faces\":0,\"triangles\":0}}\n");
}

}  // namespace
}  // namespace corvida
