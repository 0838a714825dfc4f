// SPDX-License-Identifier: GPL-3.0-or-later
// The value codec alone: fixed text forms, reading them back, and values converted for a field.

#include "results/CsvValue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace pekto {
namespace {

TEST(CsvValue, FixedFormsOfFloatsAndDates) {
  EXPECT_EQ(FormatFloat(93), "93");
  EXPECT_EQ(FormatFloat(97.5), "97.5");
  EXPECT_EQ(FormatFloat(-0.25), "-0.25");
  EXPECT_EQ(FormatFloat(0.1 + 0.2), "0.3");  // 15 significant digits hide the binary noise
  EXPECT_EQ(FormatFloat(1e20), "1e+20");
  EXPECT_EQ(FormatDate({2024, 3, 6}), "06/03/2024");
  EXPECT_EQ(FormatDate({987, 12, 31}), "31/12/0987");
}

TEST(CsvValue, IntegersWithinTheirRange) {
  EXPECT_EQ(ParseInt32("2147483647"), 2147483647);
  EXPECT_EQ(ParseInt32("-2147483648"), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(ParseInt32("+17"), 17);
  EXPECT_EQ(ParseInt32("007"), 7);
  EXPECT_EQ(ParseInt32("2147483648"), std::nullopt);
  EXPECT_EQ(ParseInt32("-2147483649"), std::nullopt);
  EXPECT_EQ(ParseInteger("-9223372036854775808"), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(ParseInteger("9223372036854775808"), std::nullopt);
  EXPECT_EQ(ParseInteger("99999999999999999999999"), std::nullopt);
  for (const char* bad : {"", "-", "+", "1.0", " 1", "1 ", "0x10", "1e3", "--1", "+-1"}) {
    EXPECT_EQ(ParseInteger(bad), std::nullopt) << bad;
  }
}

TEST(CsvValue, FloatsInThePointFormOnly) {
  EXPECT_EQ(ParseFloat("97.5"), 97.5);
  EXPECT_EQ(ParseFloat("+93"), 93.0);
  EXPECT_EQ(ParseFloat("-1e-3"), -0.001);
  for (const char* bad : {"", "+", "++1", "97,5", "1e400", "inf", "nan", "1.5x", " 1"}) {
    EXPECT_EQ(ParseFloat(bad), std::nullopt) << bad;
  }
}

TEST(CsvValue, DatesNameRealCalendarDays) {
  EXPECT_EQ(ParseDate("06/03/2024"), (Date{2024, 3, 6}));
  EXPECT_EQ(ParseDate("6/3/24"), (Date{24, 3, 6})) << "the year is taken as written";
  EXPECT_EQ(ParseDate("29/02/2024"), (Date{2024, 2, 29}));
  for (const char* bad : {"29/02/2023", "31/04/2024", "0/1/2024", "1/13/2024", "1/1/0", "1/1/10000",
                          "001/1/2024", "1-1-2024", "1/1", "1/1/2024/", "a/1/2024"}) {
    EXPECT_EQ(ParseDate(bad), std::nullopt) << bad;
  }
  EXPECT_TRUE(IsValidDate({2000, 2, 29}));
  EXPECT_FALSE(IsValidDate({1900, 2, 29}));
}

TEST(CsvValue, ParseValueByType) {
  EXPECT_EQ(ParseValue(FieldType::String, "12"), FieldValue(std::string("12")));
  EXPECT_EQ(ParseValue(FieldType::AutoInc, "12"), FieldValue(int32_t{12}));
  EXPECT_EQ(ParseValue(FieldType::Float, "12"), FieldValue(12.0));
  EXPECT_EQ(ParseValue(FieldType::Date, "1/2/2003"), FieldValue(Date{2003, 2, 1}));
  EXPECT_EQ(ParseValue(FieldType::Integer, "12.5"), std::nullopt);
}

TEST(CsvValue, ValuesConvertedAsTheFieldStoresThem) {
  const FieldSpec text = MakeField("t", FieldType::String);
  const FieldSpec integer = MakeField("i", FieldType::Integer);
  const FieldSpec real = MakeField("f", FieldType::Float);
  const FieldSpec date = MakeField("d", FieldType::Date);

  EXPECT_EQ(ConvertValue(text, std::string(60, 'x')), FieldValue(std::string(50, 'x')));
  EXPECT_EQ(ConvertValue(text, int32_t{-5}), FieldValue(std::string("-5")));
  EXPECT_EQ(ConvertValue(text, 97.5), FieldValue(std::string("97.5")));
  EXPECT_EQ(ConvertValue(text, Date{2024, 3, 6}), FieldValue(std::string("06/03/2024")));
  EXPECT_EQ(ConvertValue(text, Date{2024, 2, 30}), std::nullopt);

  EXPECT_EQ(ConvertValue(real, int32_t{93}), FieldValue(93.0));
  EXPECT_EQ(ConvertValue(real, std::string("97.5")), FieldValue(97.5));
  EXPECT_EQ(ConvertValue(real, std::numeric_limits<double>::infinity()), std::nullopt);

  EXPECT_EQ(ConvertValue(integer, 2.5), FieldValue(int32_t{2})) << "halves round to even";
  EXPECT_EQ(ConvertValue(integer, 3.5), FieldValue(int32_t{4}));
  EXPECT_EQ(ConvertValue(integer, 3e9), std::nullopt);
  EXPECT_EQ(ConvertValue(integer, std::string("x")), std::nullopt);
  EXPECT_EQ(ConvertValue(integer, Date{2024, 3, 6}), std::nullopt);

  EXPECT_EQ(ConvertValue(date, std::string("6/3/2024")), FieldValue(Date{2024, 3, 6}));
  EXPECT_EQ(ConvertValue(date, int32_t{1}), std::nullopt);
}

TEST(CsvValue, TextLimitFollowsTheSize) {
  FieldSpec text = MakeField("t", FieldType::String);
  EXPECT_EQ(TextLimit(text), 50U);
  text.size = 0;
  EXPECT_EQ(TextLimit(text), std::numeric_limits<size_t>::max());
  text.size = -3;
  EXPECT_EQ(ConvertValue(text, std::string(300, 'y')), FieldValue(std::string(300, 'y')));
}

TEST(CsvValue, ConversionMessagesNameTheFieldInUtf8) {
  FieldSpec real = MakeField("szazalek", FieldType::Float);
  real.displayLabel = "Sz\xE1zal\xE9k";
  EXPECT_STREQ(ConversionError(real, "x\xF5").what(),
               "'xő' is not a valid floating point value for field 'Százalék'");
  EXPECT_STREQ(ConversionError(MakeField("id", FieldType::AutoInc), "1.5").what(),
               "'1.5' is not a valid integer value for field 'id'");
  EXPECT_STREQ(ConversionError(MakeField("datum", FieldType::Date), "30/02/2024").what(),
               "'30/02/2024' is not a valid date");
}

TEST(CsvValue, NullToStrAndNullToInt) {
  EXPECT_EQ(NullToStr(std::nullopt, "-"), "-");
  EXPECT_EQ(NullToStr(FieldValue(std::string()), "-"), "");
  EXPECT_EQ(NullToStr(FieldValue(93.0), ""), "93");
  EXPECT_EQ(NullToInt(std::nullopt, -1), -1);
  EXPECT_EQ(NullToInt(FieldValue(97.5), 0), 98);
  EXPECT_EQ(NullToInt(FieldValue(std::string("-12")), 0), -12);
  EXPECT_THROW(NullToInt(FieldValue(std::string("12a")), 0), Error);
  EXPECT_THROW(NullToInt(FieldValue(Date{2024, 3, 6}), 0), Error);
  EXPECT_THROW(NullToInt(FieldValue(std::nan("")), 0), Error);
}

}  // namespace
}  // namespace pekto
