#include "ui/ip_address_field.h"

#include <gtest/gtest.h>

namespace velandra::ui {
namespace {

TEST(IpAddressField, TextToFieldsAndBack) {
  struct Row {
    const char* text;
    const char* back;  // nullptr: the control is not completely filled
    int filled;        // fields with a value
  } rows[] = {
      {"192.168.1.10", "192.168.1.10", 4},
      {"0.0.0.0", "0.0.0.0", 4},
      {"255.255.255.255", "255.255.255.255", 4},
      {"010.001.000.009", "10.1.0.9", 4},  // leading zeros go
      {"", nullptr, 0},
      {"10.1.1", nullptr, 0},          // three parts
      {"10.1.1.1.1", nullptr, 0},      // five parts
      {"1000.1.1.1", nullptr, 0},      // four digits
      {"256.1.1.1", nullptr, 0},       // above what a field holds
      {"10.a.1.1", nullptr, 0},
      {"10..1.1", nullptr, 3},         // one blank field
      {"...", nullptr, 0},
      {" 10.1.1.1", nullptr, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    const IpFields fields = IpFieldsFromText(row.text);
    int filled = 0;
    for (const auto& f : fields) filled += f.has_value();
    EXPECT_EQ(filled, row.filled);
    const auto back = IpTextFromFields(fields);
    if (row.back) {
      ASSERT_TRUE(back.has_value());
      EXPECT_EQ(*back, row.back);
      EXPECT_TRUE(IpFieldsComplete(fields));
    } else {
      EXPECT_FALSE(back.has_value());
      EXPECT_FALSE(IpFieldsComplete(fields));
    }
  }
}

}  // namespace
}  // namespace velandra::ui
