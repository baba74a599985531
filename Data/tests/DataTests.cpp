#include <gtest/gtest.h>
TEST(Data, Placeholder) {}
